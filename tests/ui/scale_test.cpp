// The window at larger sizes: presses reach the same squares, the board and the record panel
// grow as one picture and stay sharp; and the hint, which names its move and stands its box
// beside the board.
#include "tests/ui/harness.h"

#include "view/pictures.h"

#include <QFont>
#include <QLineEdit>
#include <QTest>
#include <cmath>

using namespace zubeki;
using namespace zubeki::uitest;

class ScaleTest : public QObject {
    Q_OBJECT
  private slots:
    void aLargerWindowPlaysOnTheSameSquares_data();
    void aLargerWindowPlaysOnTheSameSquares();
    void hintsNameTheirMove();
    void aHintBoxStandsBesideTheBoard();
    void aHintShowsOverCheckOutlines();
};

namespace {

constexpr ThinkBudget kQuick{1000, 20000, false};

// Differences between neighbouring pixels: how much fine detail a picture holds.
double detail(const QImage& img) {
    double sum = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 1; x < img.width(); ++x)
            sum += std::abs(qGray(img.pixel(x, y)) - qGray(img.pixel(x - 1, y)));
    return sum;
}

} // namespace

void ScaleTest::aLargerWindowPlaysOnTheSameSquares_data() {
    QTest::addColumn<double>("factor");
    QTest::addRow("twice") << 2.0;
    QTest::addRow("three times") << 3.0;
}

void ScaleTest::aLargerWindowPlaysOnTheSameSquares() {
    QFETCH(double, factor);
    Harness h;
    const QImage natural = h.image().copy();
    h.f().show();
    QVERIFY(QTest::qWaitForWindowExposed(&h.f()));
    h.f().resize(qRound(567 * factor), qRound(533 * factor));
    QTRY_COMPARE(h.f().canvas().scale(), factor);
    Canvas& c = h.f().canvas();
    // The board is centred: as much room on either side of it.
    const double shownWidth = h.image().width() / c.pixelRatio();
    QVERIFY(std::abs(c.width() - shownWidth - 2 * c.origin().x()) <= 1);

    // A press in the middle of a square on the screen picks that square's piece, and a move
    // made with two presses lands where it was made.
    auto click = [&](int x, int y) {
        const QPoint at =
            c.origin() + QPoint(qRound(centreX(x) / 15 * factor), qRound(centreY(y) / 15 * factor));
        QTest::mouseClick(&c, Qt::LeftButton, {}, at);
    };
    h.action("START")->trigger();
    const int piece = h.s().BOARD[3][7];
    click(3, 7);
    QCOMPARE(topEdge(h.image(), 3, 7), kLightRed);
    click(3, 4);
    QCOMPARE(h.s().BOARD[3][4], piece);
    QCOMPARE(h.s().BOARD[3][7], EMPTY);

    // The record panel grows with the board, its text too, opened for the first time after
    // the window grew.
    h.action("KIFU_WRITE")->trigger();
    auto* field = h.widget<QLineEdit>("Text1");
    QCOMPARE(field->width(), qRound(2295 / 15.0 * factor));
    QCOMPARE(field->font().pointSizeF(), 9 * factor);

    // Pictures are drawn from their sources at the size shown, not blown up from the small
    // board: they hold more detail than the natural board stretched to the same size.
    const QImage square = inside(h.image(), 5, 5);
    const QImage stretched =
        inside(natural, 5, 5)
            .scaled(square.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QVERIFY2(detail(square) > detail(stretched) * 1.2,
             qPrintable(QStringLiteral("%1 vs %2").arg(detail(square)).arg(detail(stretched))));

    // Back at the natural size the board is drawn exactly as where it never grew.
    h.f().resize(567, 533);
    QTRY_COMPARE(h.f().canvas().scale(), 1.0);
    Harness fresh;
    fresh.action("START")->trigger();
    fresh.move(3, 7, 3, 4);
    QCOMPARE(h.image(), fresh.image());
}

void ScaleTest::hintsNameTheirMove() {
    struct Case {
        Move hint;
        const char* text;
    } cases[] = {
        {{3, 7, 3, 4, SITA_BISHOP, SITA_BISHOP}, "７七の角を７四へ"},
        {{8, 8, 8, 2, SITA_ROOK, SITA_ROOK_PROMOTED},
         "２八の飛を２二へ（成）\r成るには右ボタンで指して下さい"},
        {{1, 1, 9, 9, UE_BISHOP_PROMOTED, UE_BISHOP_PROMOTED}, "９一の角成を１九へ"},
    };
    for (const Case& c : cases) {
        Harness h;
        h.f().showHint(c.hint);
        QCOMPARE(h.shown(),
                 QStringList{QString::fromUtf8(c.text) + QStringLiteral(" | ヒント | OK")});
    }
}

void ScaleTest::aHintBoxStandsBesideTheBoard() {
    // Wherever the board stands on the screen, the box finds a place on the screen off it.
    const QSize box(220, 120);
    const QRect screens[] = {{0, 0, 1280, 900}, {0, 0, 640, 480}, {-1920, 0, 1920, 1080}};
    const QRect boards[] = {{100, 50, 300, 370},
                            {900, 100, 300, 370},
                            {260, 0, 120, 480},
                            {-1800, 300, 600, 700},
                            {0, 0, 620, 200}};
    for (const QRect& screen : screens)
        for (const QRect& board : boards) {
            if (!screen.contains(board)) continue;
            const QRect placed(besideRect(box, board, screen), box);
            QVERIFY(screen.contains(placed));
            QVERIFY(!placed.intersects(board));
        }

    // The window asks its hint box to keep clear of the board as it stands on the screen.
    Harness h;
    h.f().show();
    QVERIFY(QTest::qWaitForWindowExposed(&h.f()));
    h.f().resize(567 * 2, 533 * 2);
    QTRY_COMPARE(h.f().canvas().scale(), 2.0);
    h.f().game().setBudget(kQuick);
    h.action("START")->trigger();
    std::optional<QRect> clear;
    h.onMessage = [&](const Message&) { clear = h.f().boxKeepsClearOf(); };
    h.action("HINT")->trigger();
    QVERIFY(clear.has_value());
    const Canvas& c = h.f().canvas();
    for (int x : {1, 9})
        for (int y : {1, 9}) {
            const QPoint corner = c.mapToGlobal(
                c.origin() + QPoint(qRound(centreX(x) / 15 * 2), qRound(centreY(y) / 15 * 2)));
            QVERIFY(clear->contains(corner));
        }
    QVERIFY(!h.f().boxKeepsClearOf()); // only while the hint's box is up
}

void ScaleTest::aHintShowsOverCheckOutlines() {
    // Every square outlined as a check square: the hint's two squares still show the hint's
    // colour all round, as heavy as the check outlines.
    Harness h;
    h.f().game().setBudget(kQuick);
    h.action("START")->trigger();
    h.alter([](Position& s, MoveList&) {
        for (int x = 1; x <= 9; ++x)
            for (int y = 1; y <= 9; ++y) s.CHECK_SQUARES[x][y] = TRUE_CODE;
        s.CHECK_ACTIVE = TRUE_CODE;
    });
    h.f().view().描画_桝輪郭_チェック桝();
    h.action("HINT")->trigger();
    const QColor hint = paletteColour(HINT_COLOUR);
    int hinted = 0;
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) {
            if (topEdge(h.image(), x, y) != hint || leftEdge(h.image(), x, y) != hint) continue;
            ++hinted;
            QCOMPARE(topEdge(h.image(), x, y + 1), hint);
            QCOMPARE(leftEdge(h.image(), x + 1, y), hint);
            // As wide as a check outline: the next pixel inside is the square's own.
            QVERIFY(pixel(h.image(), centreX(x), unitToTwipsY(y) + TWIPS_PER_PIXEL) != hint);
        }
    QCOMPARE(hinted, 2);
}

QTEST_MAIN(ScaleTest)
#include "scale_test.moc"
