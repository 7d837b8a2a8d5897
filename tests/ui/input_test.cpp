// The player's presses on the board: every row of the two-press protocol, the outlines it
// leaves, and every message the press handler can show.
#include "harness.h"

#include <QTest>

using namespace zubeki;
using namespace zubeki::uitest;

namespace {

const QString kForbidden = QStringLiteral("dsPlay 禁止.wav");

int forbiddenCount() {
    return static_cast<int>(FakeSound::only("dsPlay").count(kForbidden));
}

// A game between humans from the starting position; the log starts empty.
void startHumans(Harness& h) {
    h.f().START->trigger();
    h.forget();
}

} // namespace

class InputTest : public QObject {
    Q_OBJECT
  private slots:
    void firstPress_data();
    void firstPress();
    void pressingTheSelectedPieceAgainKeepsIt();
    void anotherOwnPieceTakesTheSelection();
    void opponentsPieceWhileSelectedIsShownInstead();
    void illegalDestinationKeepsTheSelection();
    void pressesOffTheBoardDoNothing();
    void noGameMessages_data();
    void noGameMessages();
    void recordModeAsksToStep_data();
    void recordModeAsksToStep();
    void checkWarning_data();
    void checkWarning();
};

void InputTest::firstPress_data() {
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");
    QTest::addColumn<bool>("guidance");
    QTest::addColumn<int>("state");
    QTest::addColumn<QString>("outline"); // of the pressed square
    QTest::addColumn<QString>("reach");   // of a square the piece can reach (left edge)
    QTest::addColumn<int>("reachX");
    QTest::addColumn<int>("reachY");
    const QString red = colourName(kLightRed), white = colourName(kWhite),
                  green = colourName(kGreen);
    QTest::addRow("own rook") << 3 << 7 << true << 1 << red << white << 3 << 6;
    QTest::addRow("own rook, no guidance") << 3 << 7 << false << 1 << red << green << 3 << 6;
    QTest::addRow("opponent's rook") << 7 << 3 << true << 0 << white << white << 6 << 3;
    QTest::addRow("opponent's rook, no guidance")
        << 7 << 3 << false << 0 << green << green << 6 << 3;
}

void InputTest::firstPress() {
    QFETCH(int, x);
    QFETCH(int, y);
    QFETCH(bool, guidance);
    QFETCH(int, state);
    QFETCH(QString, outline);
    QFETCH(QString, reach);
    QFETCH(int, reachX);
    QFETCH(int, reachY);
    Harness h;
    if (!guidance) h.f().SIDOU->trigger();
    startHumans(h);
    h.press(x, y);
    QCOMPARE(h.s().SELECT_STATE, state);
    QCOMPARE(h.f().game().clickMove().fromX, x);
    QCOMPARE(h.f().game().clickMove().fromY, y);
    QCOMPARE(h.f().game().clickMove().piece, h.s().BOARD[x][y]);
    QCOMPARE(colourName(topEdge(h.image(), x, y)), outline);
    QCOMPARE(colourName(leftEdge(h.image(), reachX, reachY)), reach);
    QVERIFY(FakeSound::lines().isEmpty());
    QVERIFY(h.messages.empty());

    // An empty square after an opponent's piece, or on its own, changes nothing at all.
    if (state == 0) {
        h.press(5, 5);
        const QImage plain = h.image().copy();
        h.press(5, 5);
        QCOMPARE(h.image(), plain);
        QCOMPARE(h.s().SELECT_STATE, 0);
        QCOMPARE(h.board(), startingBoard());
    }
}

void InputTest::pressingTheSelectedPieceAgainKeepsIt() {
    Harness h;
    startHumans(h);
    h.press(3, 7);
    const QImage once = h.image().copy();
    h.press(3, 7);
    QCOMPARE(h.s().SELECT_STATE, 1);
    QCOMPARE(h.image(), once);
    QVERIFY(FakeSound::lines().isEmpty());
}

void InputTest::anotherOwnPieceTakesTheSelection() {
    Harness h;
    startHumans(h);
    h.press(3, 7);
    h.press(2, 7); // the lower bishop beside it
    QCOMPARE(h.s().SELECT_STATE, 1);
    QCOMPARE(h.f().game().clickMove().fromX, 2);
    QCOMPARE(h.f().game().clickMove().piece, SITA_BISHOP);
    QCOMPARE(colourName(topEdge(h.image(), 2, 7)), colourName(kLightRed));
    QVERIFY(FakeSound::lines().isEmpty());
    h.press(4, 5); // the bishop's diagonal
    QCOMPARE(h.s().BOARD[4][5], SITA_BISHOP);
    QCOMPARE(h.s().BOARD[3][7], SITA_ROOK);
}

void InputTest::opponentsPieceWhileSelectedIsShownInstead() {
    Harness h;
    startHumans(h);
    h.press(3, 7);
    h.press(7, 3);
    QCOMPARE(FakeSound::lines(), QStringList{kForbidden});
    QCOMPARE(h.s().SELECT_STATE, 1);
    QCOMPARE(h.f().game().clickMove().fromX, 7);
    QCOMPARE(h.f().game().clickMove().fromY, 3);
    QCOMPARE(h.f().game().clickMove().piece, UE_ROOK);
    QCOMPARE(colourName(topEdge(h.image(), 7, 3)), colourName(kWhite));

    // The upper rook could go to (6,3), but it is not the lower side's to move.
    h.press(6, 3);
    QCOMPARE(forbiddenCount(), 2);
    QCOMPARE(h.board(), startingBoard());
    QCOMPARE(h.f().game().record().RECORD_LEN, 0);
    QCOMPARE(h.s().SELECT_STATE, 1);

    // One's own piece is then selected as usual.
    h.press(3, 7);
    QCOMPARE(h.f().game().clickMove().piece, SITA_ROOK);
    QCOMPARE(colourName(topEdge(h.image(), 3, 7)), colourName(kLightRed));
    h.press(3, 5);
    QCOMPARE(h.s().BOARD[3][5], SITA_ROOK);
    QVERIFY(h.messages.empty());
}

void InputTest::illegalDestinationKeepsTheSelection() {
    Harness h;
    startHumans(h);
    h.press(3, 7);
    h.press(5, 5); // not on the rook's lines
    h.press(2, 6); // nor this
    QCOMPARE(forbiddenCount(), 2);
    QCOMPARE(h.s().SELECT_STATE, 1);
    QCOMPARE(h.board(), startingBoard());
    QCOMPARE(h.f().game().record().RECORD_LEN, 0);
    // The rook is still the piece picked up.
    h.press(3, 6);
    QCOMPARE(h.s().BOARD[3][6], SITA_ROOK);
    QCOMPARE(h.s().SELECT_STATE, 0);
    QCOMPARE(h.s().TURN, SIDE_GOTE);
}

void InputTest::pressesOffTheBoardDoNothing() {
    Harness h;
    startHumans(h);
    h.press(3, 7);
    const QImage selected = h.image().copy();
    // Left of and above the origin, on the labels, beyond the board.
    const float spots[][2] = {{100, 50},
                              {1000, 3000},
                              {3000, 90},
                              {unitToTwipsX(9.5), 80},
                              {unitToTwipsX(10.2), 3000},
                              {3000, unitToTwipsY(10.1)}};
    for (const auto& spot : spots) h.f().Form_MouseDown(1, 0, spot[0], spot[1]);
    QCOMPARE(h.image(), selected);
    QCOMPARE(h.s().SELECT_STATE, 1);
    QVERIFY(FakeSound::lines().isEmpty());
}

void InputTest::noGameMessages_data() {
    QTest::addColumn<int>("moves");
    QTest::addColumn<int>("back");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("refusal");
    QTest::addColumn<int>("turn");
    QTest::addRow("nothing played")
        << 0 << 0 << QStringLiteral("「対局」で始めて下さい | 開始 | OK") << true << NO_SIDE;
    QTest::addRow("back to the start")
        << 2 << 2 << QStringLiteral("「対局」で始めて下さい | 開始 | OK") << true << NO_SIDE;
    QTest::addRow("upper side next")
        << 2 << 1 << QStringLiteral("OKですか？ | 再開 | OK") << false << SIDE_GOTE;
    QTest::addRow("lower side next")
        << 3 << 1 << QStringLiteral("OKですか？ | 再開 | OK") << false << SIDE_SENTE;
    QTest::addRow("end of the list")
        << 2 << 0 << QStringLiteral("OKですか？ | 再開 | OK") << false << SIDE_SENTE;
}

void InputTest::noGameMessages() {
    QFETCH(int, moves);
    QFETCH(int, back);
    QFETCH(QString, text);
    QFETCH(bool, refusal);
    QFETCH(int, turn);
    Harness h;
    const Move played[] = {{3, 7, 3, 6}, {7, 3, 6, 3}, {3, 6, 3, 5}};
    if (moves > 0) {
        h.f().START->trigger();
        for (int i = 0; i < moves; ++i)
            h.move(played[i].fx, played[i].fy, played[i].tx, played[i].ty);
        // Navigation stops the game; with nothing stepped the end of the game does that here.
        for (int i = 0; i < back; ++i) h.f().REPLAY->trigger();
        h.alter([](GameState& s, MoveList&) { s.TURN = NO_SIDE; });
    }
    const std::string before = h.board();
    h.forget();
    h.press(3, 7);
    QCOMPARE(h.shown(), QStringList{text});
    QCOMPARE(h.soundAtMessage[0] == 1, refusal);
    QCOMPARE(FakeSound::lines(), refusal ? QStringList{kForbidden} : QStringList{});
    QCOMPARE(h.s().TURN, turn);
    // The press is not taken as a move or a selection.
    QCOMPARE(h.s().SELECT_STATE, 0);
    QCOMPARE(h.board(), before);
}

void InputTest::recordModeAsksToStep_data() {
    QTest::addColumn<bool>("yes");
    QTest::addRow("Yes: keep stepping") << true;
    QTest::addRow("No: start afresh") << false;
}

void InputTest::recordModeAsksToStep() {
    QFETCH(bool, yes);
    Harness h;
    h.place({"", "", "", "....r"});
    h.alter([](GameState&, MoveList& r) {
        r.RECORD_MODE = TRUE_CODE;
        r.RECORD_LEN = 3;
    });
    h.f().LEVEL1->trigger();
    h.f().BGM->trigger();
    h.forget();
    h.answers = {yes ? Answer::Yes : Answer::No};
    h.press(5, 4);
    QCOMPARE(h.shown(), QStringList{QStringLiteral("棋譜を '進 'で進めて下さい | 棋譜 | YesNo")});
    if (yes) {
        QCOMPARE(h.f().game().record().RECORD_MODE, TRUE_CODE);
        QCOMPARE(h.s().BOARD[5][4], SITA_ROOK);
        QVERIFY(FakeSound::lines().isEmpty());
    } else {
        // Everything starts again: sound, options and the starting position.
        QCOMPARE(FakeSound::only("dsInitialize"), QStringList{QStringLiteral("dsInitialize")});
        QCOMPARE(h.f().game().record().RECORD_MODE, FALSE_CODE);
        QCOMPARE(h.f().game().record().RECORD_LEN, 0);
        QCOMPARE(h.board(), startingBoard());
        QCOMPARE(h.s().LEVEL, 3);
        QVERIFY(h.f().LEVEL3->isChecked());
        QVERIFY(h.f().BGM->isChecked());
    }
    QCOMPARE(h.s().TURN, NO_SIDE);
}

namespace {

// After the lower rook has checked the upper rook on (5,5), the upper side presses.
struct CheckCase {
    const char* name;
    std::vector<std::pair<int, int>> presses;
    int refusals;
    int selectState;
};

const CheckCase kCheckCases[] = {
    {"own piece not in check", {{1, 1}}, 1, 0},
    {"opponent's piece", {{2, 1}}, 1, 0},
    {"from the checked piece to another own piece", {{5, 5}, {1, 1}}, 1, 1},
    {"from the checked piece to an opponent's piece", {{5, 5}, {2, 1}}, 2, 1},
};

} // namespace

void InputTest::checkWarning_data() {
    QTest::addColumn<int>("row");
    for (int i = 0; i < 4; ++i) QTest::addRow("%s", kCheckCases[i].name) << i;
}

void InputTest::checkWarning() {
    QFETCH(int, row);
    const CheckCase& c = kCheckCases[row];
    Harness h;
    h.place({"Br", "", "", "r", "....R", "", "", "", "....r"});
    h.f().START->trigger();
    h.move(5, 9, 5, 6);
    QCOMPARE(h.s().CHECK_ACTIVE, TRUE_CODE);
    h.forget();
    for (auto [x, y] : c.presses) h.press(x, y);
    QCOMPARE(h.shown(), QStringList{QStringLiteral("チェック駒を動かしてください | 注意 | OK")});
    QCOMPARE(forbiddenCount(), c.refusals);
    QCOMPARE(h.soundAtMessage[0], static_cast<std::size_t>(c.refusals)); // sound first
    QCOMPARE(h.waits, (std::vector<double>(6, 0.15)));
    QCOMPARE(h.s().SELECT_STATE, c.selectState);
    // The checked rook still shows its mark after the blink.
    QCOMPARE(colourName(topEdge(h.image(), 5, 5)), colourName(kLightBlue));

    // Only the checked rook may move.
    h.press(5, 5);
    h.press(3, 5);
    QCOMPARE(h.s().BOARD[3][5], UE_ROOK);
    QCOMPARE(h.s().TURN, SIDE_SENTE);
}

QTEST_MAIN(InputTest)
#include "input_test.moc"
