// Stepping back and forward redraws the board, the move text and the move number exactly as
// they were. What navigation does to the game is tested on the game's flow in tests/play.
#include "harness.h"

#include <QTest>

using namespace zubeki;
using namespace zubeki::uitest;

namespace {

const Step kOpening[] = {{3, 7, 3, 6}, {7, 3, 6, 3}, {3, 6, 3, 5}};

// Plays the opening between two humans and answers the board after each move.
std::vector<std::string> playOpening(Harness& h) {
    std::vector<std::string> boards{h.board()};
    h.action("START")->trigger();
    for (const Step& m : kOpening) {
        h.move(m.fx, m.fy, m.tx, m.ty);
        boards.push_back(h.board());
    }
    return boards;
}

} // namespace

class NavigationTest : public QObject {
    Q_OBJECT
  private slots:
    void backThenForwardRestoresTheGame();
};

void NavigationTest::backThenForwardRestoresTheGame() {
    Harness h;
    const std::vector<std::string> boards = playOpening(h);
    const QImage lowerText = lowerSlot(h.image());
    const QImage upperText = upperSlot(h.image());
    const QImage number = moveNumberSlot(h.image());

    h.forget();
    h.action("REPLAY")->trigger();
    QCOMPARE(h.board(), boards[2]);
    QCOMPARE(h.s().MOVE_COUNT, 2);
    QCOMPARE(h.f().game().record().RECORD_POS, 2);
    QCOMPARE(h.f().game().record().RECORD_LEN, 3);
    QCOMPARE(h.session().TURN, NO_SIDE);
    QCOMPARE(ink(lowerSlot(h.image())), 0); // the undone lower move's text is gone
    QCOMPARE(upperSlot(h.image()), upperText);
    QVERIFY(moveNumberSlot(h.image()) != number);
    h.action("REPLAY")->trigger();
    QCOMPARE(h.board(), boards[1]);
    QCOMPARE(ink(upperSlot(h.image())), 0);

    h.action("AFTER")->trigger();
    h.action("AFTER")->trigger();
    QCOMPARE(h.board(), boards[3]);
    QCOMPARE(h.s().MOVE_COUNT, 3);
    QCOMPARE(h.f().game().record().RECORD_POS, 3);
    QCOMPARE(h.session().TURN, NO_SIDE);
    QCOMPARE(lowerSlot(h.image()), lowerText);
    QCOMPARE(upperSlot(h.image()), upperText);
    QCOMPARE(moveNumberSlot(h.image()), number);
    QCOMPARE(FakeSound::lines(), QStringList(4, QStringLiteral("dsPlay 駒打音.wav")));
    QVERIFY(h.messages.empty());
}

QTEST_MAIN(NavigationTest)
#include "navigation_test.moc"
