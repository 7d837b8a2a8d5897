// The ends of the move list: a game that has run past its 500 recorded moves, resuming at the
// list's last move, and the 500-move notice after the board is turned.
#include "tests/ui/harness.h"

#include <QTest>

using namespace zubeki;
using namespace zubeki::uitest;

class ListEndTest : public QObject {
    Q_OBJECT
  private slots:
    void pastTheFullListNavigationIsRefused();
    void resumingAtTheEndGivesTheMoveToTheOtherSide_data();
    void resumingAtTheEndGivesTheMoveToTheOtherSide();
    void turningTheBoardStartsTheNoticeAfresh();
};

namespace {

const QString kNotice =
    QStringLiteral("棋譜は500手までです。これから先の手は記録されません | 棋譜 | OK");

// A game between two people whose list already holds its 500 moves.
void fullList(Harness& h) {
    h.alter([](Position&, MoveList& r) { r.RECORD_POS = r.RECORD_LEN = MoveList::CAPACITY; });
}

} // namespace

void ListEndTest::pastTheFullListNavigationIsRefused() {
    Harness h;
    h.action("START")->trigger();
    fullList(h);
    h.move(3, 7, 3, 4); // the 501st move: played, not recorded
    const std::string board = h.board();
    const int turn = h.session().TURN, count = h.s().MOVE_COUNT;
    for (QAction* item : {h.action("REPLAY"), h.action("AFTER")}) {
        h.forget();
        item->trigger();
        const QString title =
            item == h.action("REPLAY") ? QStringLiteral("戻る") : QStringLiteral("進む");
        QCOMPARE(h.shown(),
                 QStringList{QStringLiteral("500手から先の手は記録されていないのでできません | ") +
                             title + QStringLiteral(" | OK")});
        QCOMPARE(FakeSound::lines(), QStringList{QStringLiteral("dsPlay 禁止.wav")});
        // The board never changes through a refused step, and the game goes on.
        QCOMPARE(h.board(), board);
        QCOMPARE(h.session().TURN, turn);
        QCOMPARE(h.s().MOVE_COUNT, count);
    }
    h.move(7, 3, 6, 3);
    QCOMPARE(h.s().BOARD[6][3], UE_ROOK);
}

void ListEndTest::resumingAtTheEndGivesTheMoveToTheOtherSide_data() {
    QTest::addColumn<bool>("againstTheComputer");
    QTest::addRow("two people, the lower side moved last") << false;
    QTest::addRow("the computer moved last") << true;
}

void ListEndTest::resumingAtTheEndGivesTheMoveToTheOtherSide() {
    QFETCH(bool, againstTheComputer);
    Harness h;
    if (againstTheComputer) {
        h.action("SENTE")->trigger();
        h.move(3, 7, 3, 4); // the computer replies: two moves
    } else {
        h.action("START")->trigger();
        h.move(3, 7, 3, 4);
        h.move(7, 3, 6, 3);
        h.move(1, 7, 1, 6);
    }
    const int moves = h.f().game().record().RECORD_LEN;
    h.action("REPLAY")->trigger();
    h.action("AFTER")->trigger();
    h.forget();
    h.press(5, 5);
    QCOMPARE(h.shown(), QStringList{QStringLiteral("OKですか？ | 再開 | OK")});
    // Nobody moves twice in a row: the side that did not make the last move is to move.
    QCOMPARE(h.f().game().record().RECORD_LEN, moves);
    QCOMPARE(h.session().TURN, againstTheComputer ? h.session().MAN_SIDE : h.session().COM_SIDE);
    if (!againstTheComputer) {
        h.move(6, 3, 6, 4); // the upper side's move is taken
        QCOMPARE(h.s().BOARD[6][4], UE_ROOK);
    }
}

void ListEndTest::turningTheBoardStartsTheNoticeAfresh() {
    Harness h;
    h.action("START")->trigger();
    fullList(h);
    h.forget();
    h.move(3, 7, 3, 4);
    QCOMPARE(h.shown(), QStringList{kNotice});
    h.action("REVERSE")->trigger();
    h.action("START")->trigger();
    fullList(h); // the turned game's list fills up again
    h.forget();
    h.move(3, 7, 3, 5);
    QCOMPARE(h.s().BOARD[3][5], SITA_ROOK);
    QCOMPARE(h.shown(), QStringList{kNotice});
}

QTEST_MAIN(ListEndTest)
#include "list_end_test.moc"
