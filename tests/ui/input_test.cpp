// The window's side of the player's presses: a press off the board does nothing, and "No" in
// record mode starts the whole program afresh. The two-press protocol itself is tested on the
// game's flow in tests/play.
#include "harness.h"

#include <QTest>

using namespace zubeki;
using namespace zubeki::uitest;

namespace {

// A game between humans from the starting position; the log starts empty.
void startHumans(Harness& h) {
    h.action("START")->trigger();
    h.forget();
}

} // namespace

class InputTest : public QObject {
    Q_OBJECT
  private slots:
    void pressesOffTheBoardDoNothing();
    void recordModeAsksToStep_data();
    void recordModeAsksToStep();
};

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
    QCOMPARE(h.session().SELECT_STATE, 1);
    QVERIFY(FakeSound::lines().isEmpty());
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
    h.alter([](Position&, MoveList& r) {
        r.RECORD_MODE = TRUE_CODE;
        r.RECORD_LEN = 3;
    });
    h.action("LEVEL1")->trigger();
    h.action("BGM")->trigger();
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
        QCOMPARE(h.session().LEVEL, 3);
        QVERIFY(h.action("LEVEL3")->isChecked());
        QVERIFY(h.action("BGM")->isChecked());
    }
    QCOMPARE(h.session().TURN, NO_SIDE);
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

QTEST_MAIN(InputTest)
#include "input_test.moc"
