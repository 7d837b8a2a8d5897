// The 検討 window: it reviews a record read from a file, steps the main board to the chosen
// move, stops at once when closed, and saves a game that is in no file yet.
#include "harness.h"

#include "record/record_file.h"
#include "ui/app_setup.h"
#include "ui/review_window.h"

#include <QApplication>
#include <QChartView>
#include <QGraphicsSimpleTextItem>
#include <QHeaderView>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTranslator>
#include <QTreeWidget>

using namespace zubeki;
using namespace zubeki::uitest;

namespace {

// Six quiet moves: a lower rook climbs file 1 while an upper rook walks down file 9.
const Step kMoves[] = {{1, 7, 1, 6}, {9, 3, 9, 4}, {1, 6, 1, 5},
                       {9, 4, 9, 5}, {1, 5, 1, 4}, {9, 5, 9, 6}};

// Plays the moves between two humans; answers the board before each move and after the last.
std::vector<std::string> play(Harness& h) {
    h.action("START")->trigger();
    std::vector<std::string> boards{h.board()};
    for (const Step& m : kMoves) {
        h.move(m.fx, m.fy, m.tx, m.ty);
        boards.push_back(h.board());
    }
    return boards;
}

ReviewWindow* openReview(Harness& h, std::uint64_t nodes) {
    h.f().setReviewBudget(ThinkBudget{1000, nodes, true, 1});
    h.action("KENTOU")->trigger();
    return h.f().reviewWindow();
}

void speak(Language language) {
    for (QTranslator* t : qApp->findChildren<QTranslator*>()) {
        QCoreApplication::removeTranslator(t);
        delete t;
    }
    installTranslations(*qApp, language);
}

// The upright label of the winning chance, if the chart has one.
QString uprightLabel(QChartView& view) {
    for (QGraphicsItem* item : view.chart()->childItems())
        if (auto* text = dynamic_cast<QGraphicsSimpleTextItem*>(item)) return text->text();
    return {};
}

} // namespace

class ReviewTest : public QObject {
    Q_OBJECT
  private slots:
    void aReadRecordIsReviewedAndSteppedThrough();
    void closingStopsAndAnUnsavedGameSaves();
    void theGameThatJustEndedIsKeptAndItsGraphAnswersClicks();
    void theListReadsWellInEachLanguageAndFollowsTheGame();
};

void ReviewTest::aReadRecordIsReviewedAndSteppedThrough() {
    Harness h;
    const std::vector<std::string> boards = play(h);
    MoveList list = h.f().game().record();
    QVERIFY(writeRecord(h.folder.path().toStdString(), "six", {"", "", ""}, list).ok);
    QVERIFY(h.f().openRecord(h.folder.filePath(QStringLiteral("six.棋譜"))));

    ReviewWindow* w = openReview(h, 3000);
    QVERIFY(w != nullptr);
    QCOMPARE(w->windowTitle(), QStringLiteral("検討"));
    QVERIFY(!widget<QPushButton>(*w, "reviewSave")->isEnabled()); // the game is in its file
    QTRY_VERIFY_WITH_TIMEOUT(!w->running(), 60000);
    auto* rows = widget<QTreeWidget>(*w, "reviewMoves");
    QCOMPARE(rows->topLevelItemCount(), 6);
    QStringList played;
    for (int i = 0; i < 6; ++i) played << rows->topLevelItem(i)->text(1);
    QCOMPARE(played,
             QStringList({"☗９六飛", "☖１四飛", "☗９五飛", "☖１五飛", "☗９四飛", "☖１六飛"}));

    // Each row shows the position its move was played in, as 戻 / 進 would, there and back.
    const int chosen[] = {3, 0, 5, 1};
    for (int row : chosen) {
        h.forget();
        rows->setCurrentItem(rows->topLevelItem(row));
        QCOMPARE(h.board(), boards[static_cast<std::size_t>(row)]);
        QCOMPARE(h.f().game().record().RECORD_POS, row);
        QCOMPARE(h.s().MOVE_COUNT, row);
        QCOMPARE(h.session().TURN, NO_SIDE);
        QVERIFY(h.messages.empty());
        const QString line = widget<QLabel>(*w, "reviewLine")->text();
        QVERIFY2(line.startsWith(QStringLiteral("%1手目").arg(row + 1)), qPrintable(line));
    }

    // A click on the row already chosen shows its position again after 進 moved on.
    h.action("AFTER")->trigger();
    QTest::mouseClick(rows->viewport(), Qt::LeftButton, {},
                      rows->visualItemRect(rows->topLevelItem(1)).center());
    QCOMPARE(h.board(), boards[1]);

    // Reading another record closes the window.
    QVERIFY(h.f().openRecord(h.folder.filePath(QStringLiteral("six.棋譜"))));
    QTRY_VERIFY(h.f().reviewWindow() == nullptr);
}

void ReviewTest::closingStopsAndAnUnsavedGameSaves() {
    Harness h;
    h.forget();
    h.action("KENTOU")->trigger();
    QCOMPARE(h.shown(), QStringList{"検討する手がありません | 検討 | OK"});
    QVERIFY(h.f().reviewWindow() == nullptr);

    play(h);
    // A budget that would take minutes: closing ends it at once.
    ReviewWindow* w = openReview(h, 50'000'000);
    QVERIFY(w->running());
    w->close();
    QVERIFY(!w->running());
    QTRY_VERIFY(h.f().reviewWindow() == nullptr);

    // The game is in no file: 保存 asks where, and writes it.
    w = openReview(h, 2000);
    auto* save = widget<QPushButton>(*w, "reviewSave");
    QVERIFY(save->isEnabled());
    h.forget();
    save->click(); // the dialog cancelled: nothing is written, nothing said
    QVERIFY(h.messages.empty());
    QVERIFY(save->isEnabled());
    h.saveAs = h.folder.filePath(QStringLiteral("played"));
    save->click();
    QCOMPARE(h.shown(), QStringList{"棋譜を書き込みました |    | OK"});
    QVERIFY(!save->isEnabled());
    const ReadResult read =
        readRecord(h.folder.filePath(QStringLiteral("played.棋譜")).toStdString());
    QVERIFY(read.ok);
    QCOMPARE(read.moves.RECORD_LEN, 6);
    QCOMPARE(read.moves.REC_TO_Y[6], 6);
}

void ReviewTest::theGameThatJustEndedIsKeptAndItsGraphAnswersClicks() {
    for (const diagram::CaptureGame& g : diagram::kCaptureGames) {
        Harness h;
        h.place(g.rows);
        h.action("START")->trigger();
        std::vector<std::string> boards;
        for (const Step& m : g.moves) {
            boards.push_back(h.board());
            h.move(m.fx, m.fy, m.tx, m.ty);
        }
        QCOMPARE(h.f().game().record().RECORD_LEN, 0); // 続けますか？ set up a new position

        ReviewWindow* w = openReview(h, 2000);
        QVERIFY(w != nullptr);
        QVERIFY(widget<QPushButton>(*w, "reviewSave")->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(!w->running(), 60000);
        auto* rows = widget<QTreeWidget>(*w, "reviewMoves");
        QCOMPARE(rows->topLevelItemCount(), static_cast<int>(g.moves.size()));
        w->resize(900, 500);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));

        // A click on the graph near a move's point chooses that move.
        auto* view = widget<QChartView>(*w, "reviewChart");
        auto* line = qobject_cast<QLineSeries*>(view->chart()->series().front());
        for (int row = static_cast<int>(g.moves.size()) - 1; row >= 0; --row) {
            const QPointF value(row + 1.2, line->at(row + 1).y());
            const QPoint at =
                view->mapFromScene(view->chart()->mapToScene(view->chart()->mapToPosition(value)));
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
            QCOMPARE(rows->indexOfTopLevelItem(rows->currentItem()), row);
            QCOMPARE(h.board(), boards[static_cast<std::size_t>(row)]);
            QCOMPARE(h.f().game().record().RECORD_POS, row);
        }
    }
}

void ReviewTest::theListReadsWellInEachLanguageAndFollowsTheGame() {
    const struct {
        Language language;
        const char *header, *wins, *axisTitle, *upright;
    } cases[] = {
        {Language::Japanese, "先手から見た評価", "先手勝ち", "", "先手の勝率"},
        {Language::English, "Score for first player", "First player wins",
         "First player's winning chance", ""},
    };
    for (const auto& c : cases) {
        speak(c.language);
        // A promotion is written as the board writes it, whatever the language.
        QCOMPARE(boardNotation(Move{9, 4, 9, 2, SITA_ROOK, SITA_ROOK_PROMOTED}),
                 QStringLiteral("１二飛成"));
        // The corner capture: the last row reads as the win.
        Harness h;
        const diagram::CaptureGame& g = diagram::kCaptureGames[0];
        h.place(g.rows);
        h.action("START")->trigger();
        for (const Step& m : g.moves) h.move(m.fx, m.fy, m.tx, m.ty);
        ReviewWindow* w = openReview(h, 2000);
        QTRY_VERIFY_WITH_TIMEOUT(!w->running(), 60000);
        auto* rows = widget<QTreeWidget>(*w, "reviewMoves");
        QCOMPARE(rows->headerItem()->text(2), QString::fromUtf8(c.header));
        QCOMPARE(rows->topLevelItemCount(), 3);
        const QTreeWidgetItem* last = rows->topLevelItem(2);
        QCOMPARE(last->text(1), QStringLiteral("☗９二飛"));
        QCOMPARE(last->text(2), QString::fromUtf8(c.wins));
        QVERIFY(last->toolTip(3).contains(last->text(2)));
        auto* chart = widget<QChartView>(*w, "reviewChart");
        QCOMPARE(chart->chart()->axes(Qt::Vertical).front()->titleText(),
                 QString::fromUtf8(c.axisTitle));
        QCOMPARE(uprightLabel(*chart), QString::fromUtf8(c.upright));

        // However narrow the window, the mark column stays whole in the list; wider, the list
        // widens with the graph.
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        int widths[3] = {};
        for (int i = 0; const int width : {100, 900, 1400}) {
            w->resize(width, 420);
            QTRY_COMPARE(w->width(), std::max(width, w->minimumSizeHint().width()));
            const QHeaderView* header = rows->header();
            QVERIFY(header->sectionViewportPosition(3) + header->sectionSize(3) <=
                    rows->viewport()->width());
            QVERIFY(header->sectionSize(3) >= rows->fontMetrics().horizontalAdvance("??"));
            widths[i++] = rows->width();
        }
        QVERIFY2(
            widths[0] < widths[1] && widths[1] < widths[2],
            qPrintable(QStringLiteral("%1 %2 %3").arg(widths[0]).arg(widths[1]).arg(widths[2])));
        w->close();
    }
    speak(Language::Japanese);

    // A move played after the window opened joins the list; after 中止 it only counts.
    for (const bool stopped : {false, true}) {
        Harness h;
        play(h);
        ReviewWindow* w = openReview(h, stopped ? 50'000'000 : 2000);
        if (stopped) widget<QPushButton>(*w, "reviewStop")->click();
        QTRY_VERIFY_WITH_TIMEOUT(!w->running(), 60000);
        h.move(1, 4, 1, 3);
        auto* rows = widget<QTreeWidget>(*w, "reviewMoves");
        const QString summary = widget<QLabel>(*w, "reviewSummary")->text();
        QCOMPARE(w->game().moves.RECORD_LEN, 7);
        if (stopped) {
            QCOMPARE(rows->topLevelItemCount(), 0);
            QVERIFY2(summary.endsWith(QStringLiteral("途中まで：全7手のうち0手")),
                     qPrintable(summary));
            continue;
        }
        QTRY_COMPARE_WITH_TIMEOUT(rows->topLevelItemCount(), 7, 60000);
        QCOMPARE(rows->topLevelItem(6)->text(1), QStringLiteral("☗９三飛"));
        QVERIFY2(!summary.contains(QStringLiteral("途中")), qPrintable(summary));
    }
}

QTEST_MAIN(ReviewTest)
#include "review_test.moc"
