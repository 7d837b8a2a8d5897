// 局面 > 編集 and the position's copy and paste: the editor worked by real clicks on the canvas
// and its controls, each refusal of 完了, pastes good and bad, a game against LEVEL1 from a
// pasted position, and a game from a set-up position saved as .zbk and read back.
#include "harness.h"

#include "ui/app_setup.h"
#include "ui/editor_panel.h"
#include "ui/review_window.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <QTranslator>

using namespace zubeki;
using namespace zubeki::uitest;

namespace {

constexpr const char* kEmptyBoard = "9/9/9/9/9/9/9/9/9";

// The point of the canvas in the middle of square (x, y), at whatever scale the board stands.
QPoint squarePoint(Form1& f, int x, int y) {
    const QRect natural(qRound(centreX(x) / TWIPS_PER_PIXEL), qRound(centreY(y) / TWIPS_PER_PIXEL),
                        1, 1);
    return f.canvas().toWidget(natural).topLeft();
}

Qt::MouseButton qtButton(int button) {
    return button == RIGHT_BUTTON ? Qt::RightButton : Qt::LeftButton;
}

// What one step of an editing session does.
struct Edit {
    enum Kind { Piece, Click, Drag, Button } kind;
    const char* name = ""; // the palette piece or the editor's button
    int x = 0, y = 0, toX = 0, toY = 0;
    int button = 1;
    const char* board = ""; // the board field of the notation afterwards
    char side = 'l';
};

void perform(Harness& h, const Edit& e) {
    Canvas& c = h.f().canvas();
    switch (e.kind) {
    case Edit::Piece:
        QTest::mouseClick(h.widget<QToolButton>(e.name), Qt::LeftButton);
        break;
    case Edit::Click:
        QTest::mouseClick(&c, qtButton(e.button), {}, squarePoint(h.f(), e.x, e.y));
        break;
    case Edit::Drag:
        QTest::mousePress(&c, Qt::LeftButton, {}, squarePoint(h.f(), e.x, e.y));
        QTest::mouseMove(&c, squarePoint(h.f(), e.toX, e.toY));
        QTest::mouseRelease(&c, Qt::LeftButton, {}, squarePoint(h.f(), e.toX, e.toY));
        break;
    case Edit::Button:
        QTest::mouseClick(h.widget<QPushButton>(e.name), Qt::LeftButton);
        break;
    }
}

QString notationShown(Harness& h) {
    return h.widget<QLabel>("EDIT_TEXT")->text();
}

void setClipboard(const QString& text) {
    QGuiApplication::clipboard()->setText(text);
}

// The harness's window shown, so that clicks reach the canvas as they do on a screen.
void showWindow(Harness& h) {
    h.f().show();
    QVERIFY(QTest::qWaitForWindowExposed(&h.f()));
    h.f().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&h.f()));
}

} // namespace

class EditorTest : public QObject {
    Q_OBJECT
  private slots:
    void placingMovingRemovingUndoRedoByClicks();
    void doneIsRefusedUntilThePositionMayBePlayed();
    void cancelAndEscapeLeaveTheGameAsItWas();
    void pastesGoodAndBad();
    void copyGivesThePositionShown();
    void theSetUpPositionIsPlayedWithItsOwnSideToMove();
    void aPastedPositionPlayedAgainstLevel1ToItsEnd();
    void aSetUpGameIsSavedAsZbkAndReadBack();
    void theControlsFollowTheScaleAndSpeakEnglish();
};

void EditorTest::placingMovingRemovingUndoRedoByClicks() {
    Harness h;
    showWindow(h);
    h.action("EDIT")->trigger();
    QVERIFY(h.f().editor() != nullptr);
    QCOMPARE(notationShown(h), QStringLiteral("6rbr/6brb/6rbr/9/9/9/RBR6/BRB6/RBR6 l - 0 1"));
    // Squares are x from the left, y from the top: (1, 9) is the bottom-left corner, 9i.
    const Edit steps[] = {
        {Edit::Button, "EDIT_CLEAR", 0, 0, 0, 0, 1, kEmptyBoard},
        // A palette piece, then squares: placed again and again.
        {Edit::Piece, "SITA_SYA"},
        {Edit::Click, "", 1, 9, 0, 0, 1, "9/9/9/9/9/9/9/9/R8"},
        {Edit::Click, "", 2, 9, 0, 0, 1, "9/9/9/9/9/9/9/9/RR7"},
        {Edit::Piece, "UE_KAKU_NARI"},
        {Edit::Click, "", 5, 5, 0, 0, 1, "9/9/9/9/4+b4/9/9/9/RR7"},
        // The same palette piece again puts it back: a press on an empty square does nothing.
        {Edit::Piece, "UE_KAKU_NARI"},
        {Edit::Click, "", 6, 6, 0, 0, 1, "9/9/9/9/4+b4/9/9/9/RR7"},
        // A real drag, then a press on the piece and a press on its new square.
        {Edit::Drag, "", 1, 9, 3, 7, 1, "9/9/9/9/4+b4/9/2R6/9/1R7"},
        {Edit::Click, "", 2, 9, 0, 0, 1, "9/9/9/9/4+b4/9/2R6/9/1R7"},
        {Edit::Click, "", 8, 2, 0, 0, 1, "9/7R1/9/9/4+b4/9/2R6/9/9"},
        // The right button takes a piece off.
        {Edit::Click, "", 5, 5, 0, 0, RIGHT_BUTTON, "9/7R1/9/9/9/9/2R6/9/9"},
        {Edit::Button, "EDIT_UNDO", 0, 0, 0, 0, 1, "9/7R1/9/9/4+b4/9/2R6/9/9"},
        {Edit::Button, "EDIT_UNDO", 0, 0, 0, 0, 1, "9/9/9/9/4+b4/9/2R6/9/1R7"},
        {Edit::Button, "EDIT_REDO", 0, 0, 0, 0, 1, "9/7R1/9/9/4+b4/9/2R6/9/9"},
        {Edit::Button, "EDIT_SIDE", 0, 0, 0, 0, 1, "9/7R1/9/9/4+b4/9/2R6/9/9", 'u'},
        {Edit::Button, "EDIT_START", 0, 0, 0, 0, 1, "6rbr/6brb/6rbr/9/9/9/RBR6/BRB6/RBR6"},
    };
    for (const Edit& e : steps) {
        perform(h, e);
        if (e.kind == Edit::Piece) continue;
        const QString expected =
            QString::fromLatin1(e.board) + QLatin1Char(' ') + QLatin1Char(e.side) + " - 0 1";
        QCOMPARE(notationShown(h), expected);
        QCOMPARE(QString::fromStdString(h.f().editor()->editor().position().text()), expected);
    }
    // The keys undo and redo too; the last change undone and redone.
    QTest::keyClick(h.f().windowHandle(), Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(notationShown(h).startsWith(QLatin1String("9/7R1/")));
    QTest::keyClick(h.f().windowHandle(), Qt::Key_Y, Qt::ControlModifier);
    QVERIFY(notationShown(h).startsWith(QLatin1String("6rbr/")));
    // A picked piece is outlined in light red on the board itself.
    perform(h, {Edit::Click, "", 1, 7});
    QCOMPARE(topEdge(h.image(), 1, 7), kLightRed);
    QCOMPARE(h.s(), Position::start()); // the game underneath is untouched
}

void EditorTest::doneIsRefusedUntilThePositionMayBePlayed() {
    // Each way a position cannot be played, set up by clicks from an empty board: the reason
    // under the board, the same reason in the box 完了 answers with, and the editor stays.
    const struct {
        const char* what;
        std::vector<std::pair<const char*, const char*>> puts; // a piece, then squares "xy xy"
        const char* reason;
    } cases[] = {
        {"nobody can move", {}, "どちらの側にも指せる手がありません"},
        {"ten lower pieces",
         {{"SITA_KAKU", "19 29 39 49 59 69 79 89 99 55"}},
         "駒が９枚より多い側があります"},
        {"a promoted piece in its own camp",
         {{"SITA_SYA_NARI", "28"}},
         "成った駒が自陣の中にあります（自陣には止まれません）"},
        {"the upper camp filled",
         {{"SITA_SYA", "71 81 91 72 82 92 73 83 93"}},
         "敵陣がもう埋まっています（対局は終わっています）"},
        {"an upper rook shut in its corner",
         {{"UE_SYA", "91"}, {"SITA_SYA", "81 92"}},
         "空いた隣のマスがない駒の一団があります"},
    };
    for (const auto& c : cases) {
        Harness h;
        showWindow(h);
        h.action("EDIT")->trigger();
        perform(h, {Edit::Button, "EDIT_CLEAR"});
        for (const auto& [piece, squares] : c.puts) {
            perform(h, {Edit::Piece, piece});
            for (const QString& xy : QString::fromLatin1(squares).split(QLatin1Char(' ')))
                perform(h, {Edit::Click, "", xy[0].digitValue(), xy[1].digitValue()});
        }
        const QString reason = QString::fromUtf8(c.reason);
        QCOMPARE(h.widget<QLabel>("EDIT_FAULT")->text(), reason);
        h.forget();
        perform(h, {Edit::Button, "EDIT_DONE"});
        QCOMPARE(h.shown(), QStringList{reason + QStringLiteral(" | 編集 | OK")});
        QCOMPARE(FakeSound::only("dsPlay"), QStringList{QStringLiteral("dsPlay 禁止.wav")});
        QVERIFY2(h.f().editor() != nullptr, c.what);
        QVERIFY(!h.f().game().fromSetUp());
    }
    // A position that may be played is handed over: the board is the game's, set up.
    Harness h;
    showWindow(h);
    h.action("EDIT")->trigger();
    for (const Edit& e : std::vector<Edit>{{Edit::Button, "EDIT_CLEAR"},
                                           {Edit::Piece, "UE_SYA"},
                                           {Edit::Click, "", 9, 1},
                                           {Edit::Piece, "SITA_KAKU"},
                                           {Edit::Click, "", 1, 9}})
        perform(h, e);
    QCOMPARE(h.widget<QLabel>("EDIT_FAULT")->text(), QStringLiteral("この局面で始められます"));
    h.forget();
    perform(h, {Edit::Button, "EDIT_DONE"});
    QVERIFY(h.shown().isEmpty());
    QVERIFY(h.f().editor() == nullptr);
    QVERIFY(h.f().game().fromSetUp());
    QCOMPARE(QString::fromStdString(h.f().game().shownText()),
             QStringLiteral("8r/9/9/9/9/9/9/9/B8 l - 0 1"));
    for (QAction* a : h.menu("TAIKYOKU")->actions()) QVERIFY(a->isEnabled());
}

void EditorTest::cancelAndEscapeLeaveTheGameAsItWas() {
    for (const bool escape : {false, true}) {
        Harness h;
        showWindow(h);
        h.action("START")->trigger();
        h.move(1, 7, 1, 6);
        const Position before = h.s();
        h.action("EDIT")->trigger();
        // Everything that would start, step or save a game waits for the editor.
        for (const char* name : {"START", "SENTE", "REPLAY", "KIFU_WRITE", "CANCEL", "EDIT"})
            QVERIFY2(!h.action(name)->isEnabled(), name);
        for (const char* name : {"COPY", "PASTE", "HOWTO"}) QVERIFY(h.action(name)->isEnabled());
        perform(h, {Edit::Button, "EDIT_CLEAR"});
        if (escape)
            QTest::keyClick(h.f().windowHandle(), Qt::Key_Escape);
        else
            perform(h, {Edit::Button, "EDIT_CANCEL"});
        QVERIFY(h.f().editor() == nullptr);
        QCOMPARE(h.ends, 0);
        QCOMPARE(h.s(), before);
        QVERIFY(h.action("START")->isEnabled() && h.action("EDIT")->isEnabled());
        // The board shows the game again: its piece stands on its square.
        QCOMPARE(inside(h.image(), 1, 6), pictureOn(h.f().view().pictures().SITA_SYA[0], 1, 6));
        h.move(9, 3, 9, 4);
        QCOMPARE(h.f().game().record().RECORD_LEN, 2);
    }
}

void EditorTest::pastesGoodAndBad() {
    const struct {
        const char* clipboard;
        const char* box; // "" when the position goes on the board
    } cases[] = {
        {"", "貼り付ける局面がありません | 局面を貼り付け | OK"},
        {"not a position",
         "局面を貼り付けられません：a position has 5 fields separated by one blank (board side "
         "check passes number), not 3 | 局面を貼り付け | OK"},
        {"6rbr/6brb/6rbr/9/9/9/RBR6/BRB6/RBR6 x - 0 1",
         "局面を貼り付けられません：the side to move 'x' is neither l nor u | 局面を貼り付け | OK"},
        {"8r/9/9/9/9/9/9/9/+R8 l - 0 1",
         "局面を貼り付けられません：a promoted piece stands inside its own camp, where it may "
         "never stop | 局面を貼り付け | OK"},
        {"  8r/9/9/9/9/9/9/9/B8 u - 0 12\n", ""},
    };
    for (const auto& c : cases) {
        Harness h;
        h.action("START")->trigger();
        h.move(1, 7, 1, 6);
        const Position before = h.s();
        setClipboard(QString::fromUtf8(c.clipboard));
        h.forget();
        h.action("PASTE")->trigger();
        if (*c.box != '\0') {
            QCOMPARE(h.shown(), QStringList{QString::fromUtf8(c.box)});
            QCOMPARE(h.s(), before); // the game goes on as it was
            QVERIFY(!h.f().game().fromSetUp());
            continue;
        }
        QVERIFY(h.shown().isEmpty());
        QVERIFY(h.f().game().fromSetUp());
        QCOMPARE(QString::fromStdString(h.f().game().shownText()),
                 QStringLiteral("8r/9/9/9/9/9/9/9/B8 u - 0 12"));
        QCOMPARE(h.session().TURN, NO_SIDE);
        QCOMPARE(h.f().game().record().RECORD_LEN, 0);
    }
    // Pasted into the editor, the position is an edit like any other: undone at once.
    Harness h;
    showWindow(h);
    h.action("EDIT")->trigger();
    setClipboard(QStringLiteral("8r/9/9/9/9/9/9/9/B8 u - 0 12"));
    QTest::keyClick(h.f().windowHandle(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(notationShown(h), QStringLiteral("8r/9/9/9/9/9/9/9/B8 u - 0 12"));
    perform(h, {Edit::Button, "EDIT_UNDO"});
    QVERIFY(notationShown(h).startsWith(QLatin1String("6rbr/")));
}

void EditorTest::copyGivesThePositionShown() {
    Harness h;
    showWindow(h);
    h.action("START")->trigger();
    h.move(1, 7, 1, 6);
    QTest::keyClick(h.f().windowHandle(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(),
             QStringLiteral("6rbr/6brb/6rbr/9/9/R8/1BR6/BRB6/RBR6 u - 0 2"));
    // Stepped back, the position shown is the one copied.
    h.action("REPLAY")->trigger();
    h.action("COPY")->trigger();
    QCOMPARE(QGuiApplication::clipboard()->text(),
             QStringLiteral("6rbr/6brb/6rbr/9/9/9/RBR6/BRB6/RBR6 l - 0 1"));
    // In the editor: the position being edited. Copied and pasted back, it is the same.
    h.action("EDIT")->trigger();
    perform(h, {Edit::Button, "EDIT_SIDE"});
    h.action("COPY")->trigger();
    const QString copied = QGuiApplication::clipboard()->text();
    QCOMPARE(copied, QStringLiteral("6rbr/6brb/6rbr/9/9/9/RBR6/BRB6/RBR6 u - 0 1"));
    perform(h, {Edit::Button, "EDIT_CANCEL"});
    h.action("PASTE")->trigger();
    QCOMPARE(QString::fromStdString(h.f().game().shownText()), copied);
}

void EditorTest::theSetUpPositionIsPlayedWithItsOwnSideToMove() {
    // Upper rook 1a, lower bishop 9i; the upper side to move.
    const QString upperToMove = QStringLiteral("8r/9/9/9/9/9/9/9/B8 u - 0 1");
    Harness h;
    setClipboard(upperToMove);
    h.action("PASTE")->trigger();
    h.forget();
    // 先手 would give the move to the person: refused; 後手 plays it, the computer first.
    h.action("SENTE")->trigger();
    QCOMPARE(h.shown(), QStringList{QStringLiteral(
                            "この局面は上手の番です。「後手」で始めて下さい | 開始 | OK")});
    QCOMPARE(h.session().TURN, NO_SIDE);
    // Two people: the upper side's player, the second, moves first.
    h.forget();
    h.action("START")->trigger();
    QCOMPARE(h.shown(), QStringList{QStringLiteral("後手の番です |   | OK")});
    QCOMPARE(h.session().side(), 1);
    h.move(9, 1, 9, 3);
    QCOMPARE(h.s().BOARD[9][3], UE_ROOK);
    h.move(1, 9, 4, 6);
    QCOMPARE(h.f().game().record().RECORD_LEN, 2);
    // 戻 goes back no further than the set-up position, 最初 straight to it.
    h.action("REPLAY")->trigger();
    h.action("REPLAY")->trigger();
    h.forget();
    h.action("REPLAY")->trigger();
    QCOMPARE(h.shown(), QStringList{QStringLiteral("できません | 戻る | OK")});
    QCOMPARE(QString::fromStdString(h.f().game().shownText()), upperToMove);
    h.action("AFTER")->trigger();
    h.action("CANCEL")->trigger();
    QCOMPARE(QString::fromStdString(h.f().game().shownText()), upperToMove);
    QVERIFY(h.f().game().fromSetUp());
    // 反転 turns it, the same army still to move; the person then plays it with 先手.
    h.forget();
    h.action("REVERSE")->trigger();
    QVERIFY(h.shown().isEmpty());
    QCOMPARE(QString::fromStdString(h.f().game().shownText()),
             QStringLiteral("8b/9/9/9/9/9/9/9/R8 l - 0 1"));
    h.action("GOTE")->trigger();
    QCOMPARE(h.shown(), QStringList{QStringLiteral(
                            "この局面は下手の番です。「先手」で始めて下さい | 開始 | OK")});
    h.forget();
    h.action("SENTE")->trigger();
    QCOMPARE(h.shown(), QStringList{QStringLiteral("あなたの番です |   | OK")});
    // The hint works from there, as in any game.
    h.f().game().setBudget(ThinkBudget{1000, 2000, false});
    h.forget();
    h.action("HINT")->trigger();
    QCOMPARE(h.shown().size(), 1);
    QVERIFY2(h.shown().front().contains(QStringLiteral(" | ヒント | OK")),
             qPrintable(h.shown().front()));
}

void EditorTest::aPastedPositionPlayedAgainstLevel1ToItsEnd() {
    // The upper camp holds eight lower pieces and waits for the ninth, the lower rook on 3i;
    // the upper side (LEVEL1) moves first.
    Harness h;
    h.answers = {Answer::No};
    h.action("LEVEL1")->trigger();
    setClipboard(QStringLiteral("r5RBR/6BRB/7RB/9/9/9/9/9/b5R2 u - 0 1"));
    h.action("PASTE")->trigger();
    QVERIFY(h.f().game().fromSetUp());
    h.forget();
    h.action("GOTE")->trigger();
    // The person plays the move that wins when there is one, else its first legal move.
    for (int turn = 0; turn < 200 && h.ends == 0; ++turn) {
        QCOMPARE(h.session().side(), -1);
        LegalMoves legal;
        h.s().legalMoves(legal);
        Move chosen = legal.at[0];
        for (const Move& m : legal) {
            MoveOutcome outcome;
            (void)h.s().after(m, &outcome);
            if (outcome.end != GameEnd::None) chosen = m;
        }
        QVERIFY(!chosen.pass());
        h.press(chosen.移動元X, chosen.移動元Y);
        h.press(chosen.移動先X, chosen.移動先Y, chosen.promotes() ? RIGHT_BUTTON : 1);
    }
    QCOMPARE(h.ends, 1); // "続けますか？" answered No
    QVERIFY(h.shown().contains(QStringLiteral("MANの勝ちです | 終了 | OK")));
    QVERIFY(h.shown().contains(QStringLiteral("続けますか？ | 再ゲーム | YesNo")));
}

void EditorTest::aSetUpGameIsSavedAsZbkAndReadBack() {
    Harness h;
    h.f().setFolder(h.folder.path());
    const QString start = QStringLiteral("8r/9/9/9/9/9/9/9/B8 u - 0 1");
    setClipboard(start);
    h.action("PASTE")->trigger();
    h.action("START")->trigger();
    h.move(9, 1, 9, 3);
    h.move(1, 9, 4, 6);
    // Only the file name is asked: a .zbk file has no names in it.
    h.action("KIFU_WRITE")->trigger();
    QVERIFY(!h.widget("Text1")->isHidden());
    for (const char* name : {"Text2", "Text3", "Text4"}) QVERIFY(h.widget(name)->isHidden());
    h.widget<QLineEdit>("Text1")->setText(QStringLiteral("from-here"));
    h.forget();
    QTest::mouseClick(h.widget<QPushButton>("Command1"), Qt::LeftButton);
    QCOMPARE(h.shown(), QStringList{QStringLiteral("棋譜を書き込みました |    | OK")});
    QVERIFY(!QFile::exists(QDir(h.folder.path()).filePath(QStringLiteral("from-here.棋譜"))));
    QFile file(QDir(h.folder.path()).filePath(QStringLiteral("from-here.zbk")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(),
             QByteArray("ZUBEKI-GAME 1\n8r/9/9/9/9/9/9/9/B8 u - 0 1\n1a1c\n9i6f\n"));

    // Read back through the record panel: the set-up position, then the moves with 進.
    h.action("CANCEL")->trigger();
    h.action("KIFU_READ")->trigger();
    auto* files = h.widget<QListWidget>("File1");
    QCOMPARE(files->count(), 1);
    QCOMPARE(files->item(0)->text(), QStringLiteral("from-here.zbk"));
    h.forget();
    QVERIFY(h.f().File1_Click(QStringLiteral("from-here.zbk")));
    QCOMPARE(h.shown(), (QStringList{QStringLiteral(" 読み込みました | 棋譜 | OK"),
                                     QStringLiteral("棋譜を '進 'で進めて下さい | 棋譜 | OK")}));
    QCOMPARE(QString::fromStdString(h.f().game().shownText()), start);
    h.action("AFTER")->trigger();
    h.action("AFTER")->trigger();
    QCOMPARE(h.s().BOARD[9][3], UE_ROOK);
    QCOMPARE(h.s().BOARD[4][6], SITA_BISHOP);

    // The 検討 window's 保存 writes such a game as .zbk too.
    Harness r;
    setClipboard(start);
    r.action("PASTE")->trigger();
    r.action("START")->trigger();
    r.move(9, 1, 9, 3);
    r.f().setReviewBudget(ThinkBudget{1000, 2000, true, 1});
    r.action("KENTOU")->trigger();
    ReviewWindow* review = r.f().reviewWindow();
    QVERIFY(review != nullptr);
    QTRY_VERIFY_WITH_TIMEOUT(!review->running(), 60000);
    r.saveAs = QDir(r.folder.path()).filePath(QStringLiteral("reviewed.棋譜"));
    QVERIFY(review->save());
    QFile saved(QDir(r.folder.path()).filePath(QStringLiteral("reviewed.zbk")));
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), QByteArray("ZUBEKI-GAME 1\n8r/9/9/9/9/9/9/9/B8 u - 0 1\n1a1c\n"));
    QVERIFY(!QFile::exists(r.saveAs));

    // A game turned with 反転 starts from no starting position either: 保存 writes it as .zbk.
    Harness t;
    t.action("START")->trigger();
    t.move(1, 7, 1, 6);
    t.action("REVERSE")->trigger();
    t.action("START")->trigger();
    t.move(1, 7, 1, 5);
    t.f().setReviewBudget(ThinkBudget{1000, 2000, true, 1});
    t.action("KENTOU")->trigger();
    ReviewWindow* turned = t.f().reviewWindow();
    QVERIFY(turned != nullptr);
    QTRY_VERIFY_WITH_TIMEOUT(!turned->running(), 60000);
    t.saveAs = QDir(t.folder.path()).filePath(QStringLiteral("turned"));
    QVERIFY(turned->save());
    QFile turnedFile(t.saveAs + QStringLiteral(".zbk"));
    QVERIFY(turnedFile.open(QIODevice::ReadOnly));
    QVERIFY(turnedFile.readAll().startsWith("ZUBEKI-GAME 1\n6rbr/6brb/6rb1/8r/9/9/RBR6/"));
    QVERIFY(!QFile::exists(t.saveAs + QStringLiteral(".棋譜")));

    // A file that is not a game is refused with its reason; the game goes on.
    QFile bad(QDir(h.folder.path()).filePath(QStringLiteral("bad.zbk")));
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write("ZUBEKI-GAME 1\n8r/9/9/9/9/9/9/9/B8 u - 0 1\n9i6f\n");
    bad.close();
    h.forget();
    QVERIFY(!h.f().File1_Click(QStringLiteral("bad.zbk")));
    QCOMPARE(h.shown().size(), 1);
    QVERIFY(h.shown().front().startsWith(QStringLiteral("棋譜ﾌｧｲﾙを読み込めませんでした：")));
}

void EditorTest::theControlsFollowTheScaleAndSpeakEnglish() {
    Harness h;
    showWindow(h);
    h.action("EDIT")->trigger();
    auto* piece = h.widget<QToolButton>("SITA_SYA");
    auto* done = h.widget<QPushButton>("EDIT_DONE");
    const QSize natural = piece->size();
    const int doneWidth = done->width();
    h.f().resize(567 * 2, 533 * 2);
    QTRY_COMPARE(h.f().canvas().scale(), 2.0);
    QVERIFY(std::abs(piece->width() - 2 * natural.width()) <= 1);
    QVERIFY(std::abs(done->width() - 2 * doneWidth) <= 1);
    QCOMPARE(done->font().pointSizeF(), 18.0);
    // A click at the larger scale lands on the same square.
    perform(h, {Edit::Button, "EDIT_CLEAR"});
    perform(h, {Edit::Piece, "SITA_SYA"});
    perform(h, {Edit::Click, "", 4, 6});
    QCOMPARE(notationShown(h), QStringLiteral("9/9/9/9/9/3R5/9/9/9 l - 0 1"));
    if (qEnvironmentVariableIsSet("ZUBEKI_EDITOR_SHOT")) {
        h.f().resize(567, 533);
        QTRY_COMPARE(h.f().canvas().scale(), 1.0);
        setClipboard(QStringLiteral("6rbr/6b1r/5+R1r1/2b6/4+b4/3R5/RB7/B1R6/RB7 l - 0 9"));
        h.action("PASTE")->trigger();
        perform(h, {Edit::Piece, "SITA_KAKU"});
        perform(h, {Edit::Click, "", 4, 6});
        h.f().grab().save(qEnvironmentVariable("ZUBEKI_EDITOR_SHOT"));
    }

    // In English every control of the editor and its reasons read without Japanese.
    installTranslations(*qApp, Language::English);
    Harness e;
    e.action("EDIT")->trigger();
    QStringList shown;
    for (QPushButton* b : e.f().findChildren<QPushButton*>()) shown << b->text();
    shown << e.widget<QLabel>("EDIT_FAULT")->text() << e.action("EDIT")->text();
    QCOMPARE(e.widget<QLabel>("EDIT_FAULT")->text(), QStringLiteral("This position can be played"));
    static const QRegularExpression japanese(
        QStringLiteral("[\\x{3000}-\\x{30FF}\\x{4E00}-\\x{9FFF}\\x{FF00}-\\x{FFEF}]"));
    for (const QString& text : shown) QVERIFY2(!text.contains(japanese), qPrintable(text));
    if (qEnvironmentVariableIsSet("ZUBEKI_EDITOR_SHOT"))
        e.f().grab().save(qEnvironmentVariable("ZUBEKI_EDITOR_SHOT")
                              .replace(QStringLiteral(".png"), QStringLiteral("-en.png")));
    for (QTranslator* t : qApp->findChildren<QTranslator*>()) {
        QCoreApplication::removeTranslator(t);
        delete t;
    }
}

QTEST_MAIN(EditorTest)
#include "editor_test.moc"
