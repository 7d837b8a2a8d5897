// Stepping through the moves of a game: back, forward, back to the start and turning the
// board, with what a press on the board does afterwards.
#include "harness.h"

#include <QTest>

using namespace zubeki;
using namespace zubeki::uitest;

namespace {

const Move kOpening[] = {{3, 7, 3, 6}, {7, 3, 6, 3}, {3, 6, 3, 5}};

// Plays the opening between two humans and answers the board after each move.
std::vector<std::string> playOpening(Harness& h) {
    std::vector<std::string> boards{h.board()};
    h.f().START->trigger();
    for (const Move& m : kOpening) {
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
    void refusals_data();
    void refusals();
    void aNewMoveAfterBackDiscardsTheLaterOnes();
    void backOverACaptureDoesNotBringThePiecesBack();
    void reverseTwiceGivesThePositionBack();
    void firstToTheStartResetsEverything();
    void backInAComputerGameLetsTheComputerMoveFirst();
};

void NavigationTest::backThenForwardRestoresTheGame() {
    Harness h;
    const std::vector<std::string> boards = playOpening(h);
    const QImage lowerText = lowerSlot(h.image());
    const QImage upperText = upperSlot(h.image());
    const QImage number = moveNumberSlot(h.image());

    h.forget();
    h.f().REPLAY->trigger();
    QCOMPARE(h.board(), boards[2]);
    QCOMPARE(h.s().MOVE_COUNT, 2);
    QCOMPARE(h.f().game().record().RECORD_POS, 2);
    QCOMPARE(h.f().game().record().RECORD_LEN, 3);
    QCOMPARE(h.s().TURN, NO_SIDE);
    QCOMPARE(ink(lowerSlot(h.image())), 0); // the undone lower move's text is gone
    QCOMPARE(upperSlot(h.image()), upperText);
    QVERIFY(moveNumberSlot(h.image()) != number);
    h.f().REPLAY->trigger();
    QCOMPARE(h.board(), boards[1]);
    QCOMPARE(ink(upperSlot(h.image())), 0);

    h.f().AFTER->trigger();
    h.f().AFTER->trigger();
    QCOMPARE(h.board(), boards[3]);
    QCOMPARE(h.s().MOVE_COUNT, 3);
    QCOMPARE(h.f().game().record().RECORD_POS, 3);
    QCOMPARE(h.s().TURN, NO_SIDE);
    QCOMPARE(lowerSlot(h.image()), lowerText);
    QCOMPARE(upperSlot(h.image()), upperText);
    QCOMPARE(moveNumberSlot(h.image()), number);
    QCOMPARE(FakeSound::lines(), QStringList(4, QStringLiteral("dsPlay 駒打音.wav")));
    QVERIFY(h.messages.empty());
}

void NavigationTest::refusals_data() {
    QTest::addColumn<int>("moves");
    QTest::addColumn<bool>("recordMode");
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("text");
    QTest::addRow("back at the start") << 0 << false << "REPLAY"
                                       << "できません | 戻る | OK";
    QTest::addRow("forward at the end") << 1 << false << "AFTER"
                                        << "できません | 進む | OK";
    QTest::addRow("forward at the end of a record") << 0 << true << "AFTER"
                                                    << "終わり | 進む | OK";
    QTest::addRow("turn before any move") << 0 << false << "REVERSE"
                                          << "最初からはできません | 反転 | OK";
    QTest::addRow("turn a record") << 1 << true << "REVERSE"
                                   << "棋譜ﾓｰﾄﾞではできません | 反転 | OK";
}

void NavigationTest::refusals() {
    QFETCH(int, moves);
    QFETCH(bool, recordMode);
    QFETCH(QString, item);
    QFETCH(QString, text);
    Harness h;
    h.f().START->trigger();
    if (moves > 0) h.move(3, 7, 3, 6);
    if (recordMode) h.alter([](GameState&, MoveList& r) { r.RECORD_MODE = TRUE_CODE; });
    const std::string before = h.board();
    const int count = h.s().MOVE_COUNT, turn = h.s().TURN;
    h.forget();
    QAction* action = item == QLatin1String("REPLAY")  ? h.f().REPLAY
                      : item == QLatin1String("AFTER") ? h.f().AFTER
                                                       : h.f().REVERSE;
    action->trigger();
    QCOMPARE(h.shown(), QStringList{text});
    QCOMPARE(FakeSound::lines(), QStringList{QStringLiteral("dsPlay 禁止.wav")});
    QCOMPARE(h.soundAtMessage[0], std::size_t{1});
    // Nothing changes, the game runs on.
    QCOMPARE(h.board(), before);
    QCOMPARE(h.s().MOVE_COUNT, count);
    QCOMPARE(h.s().TURN, turn);
    QCOMPARE(h.s().REVERSED, FALSE_CODE);
}

void NavigationTest::aNewMoveAfterBackDiscardsTheLaterOnes() {
    Harness h;
    playOpening(h);
    h.f().REPLAY->trigger();
    h.f().REPLAY->trigger();
    h.forget();
    h.press(5, 5); // resumes; the upper side moves next
    QCOMPARE(h.shown(), QStringList{QStringLiteral("OKですか？ | 再開 | OK")});
    QCOMPARE(h.s().TURN, SIDE_GOTE);
    h.move(9, 3, 9, 5);
    QCOMPARE(h.f().game().record().RECORD_LEN, 2);
    QCOMPARE(h.f().game().record().REC_TO_Y[2], 5);
    QCOMPARE(h.s().MOVE_COUNT, 2);
    h.f().AFTER->trigger();
    QCOMPARE(h.shown().mid(1), QStringList{QStringLiteral("できません | 進む | OK")});
    QCOMPARE(h.s().BOARD[3][5], EMPTY); // the discarded third move stays undone
}

void NavigationTest::backOverACaptureDoesNotBringThePiecesBack() {
    Harness h;
    h.place({"Br", "", "", "r", "....R", "", "", "", "....r"});
    h.f().START->trigger();
    MoveList kept;
    int board[10][10] = {};
    h.onMessage = [&](const Message& m) {
        if (!m.text.endsWith(QStringLiteral("の勝ちです"))) return;
        kept = h.f().game().record();
        std::copy(&h.s().BOARD[0][0], &h.s().BOARD[0][0] + 100, &board[0][0]);
    };
    h.move(5, 9, 5, 6);
    h.move(5, 5, 2, 5);
    h.move(1, 4, 1, 2); // surrounds the bishop in the corner
    QCOMPARE(kept.RECORD_LEN, 3);

    // The game as it stood when it was won, shown again with its list.
    h.alter([&](GameState& s, MoveList& r) {
        r = kept;
        std::copy(&board[0][0], &board[0][0] + 100, &s.BOARD[0][0]);
        s.MOVE_COUNT = 3;
    });
    const std::string won = h.board();
    h.f().REPLAY->trigger();
    QCOMPARE(h.s().BOARD[1][4], SITA_ROOK);
    QCOMPARE(h.s().BOARD[1][2], EMPTY);
    QCOMPARE(h.s().BOARD[1][1], EMPTY);
    QCOMPARE(inside(h.image(), 1, 1), pictureOn(h.f().view().pictures().KARA_MASU, 1, 1));
    h.f().AFTER->trigger();
    QCOMPARE(h.board(), won);
}

void NavigationTest::reverseTwiceGivesThePositionBack() {
    Harness h;
    playOpening(h);
    h.f().REPLAY->trigger();
    const std::string before = h.board();
    const GameState was = h.s();
    h.forget();
    h.f().REVERSE->trigger();
    // Half a turn about the centre, every piece changing sides.
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) QCOMPARE(h.s().BOARD[10 - x][10 - y], -was.BOARD[x][y]);
    QCOMPARE(h.f().game().record().RECORD_LEN, 0);
    QCOMPARE(h.f().game().record().RECORD_POS, 0);
    QCOMPARE(h.s().MOVE_COUNT, 2);
    QCOMPARE(h.s().REVERSED, TRUE_CODE);
    QCOMPARE(FakeSound::lines(), QStringList{QStringLiteral("dsPlay 駒打音.wav")});
    // The empty list means there is nothing to resume.
    h.press(3, 7);
    QCOMPARE(h.shown(), QStringList{QStringLiteral("「対局」で始めて下さい | 開始 | OK")});
    h.f().REVERSE->trigger();
    QCOMPARE(h.board(), before);
    // And START goes on from the position shown.
    h.f().START->trigger();
    QCOMPARE(h.board(), before);
    QCOMPARE(h.s().TURN, SIDE_SENTE);
}

void NavigationTest::firstToTheStartResetsEverything() {
    Harness h;
    playOpening(h);
    h.f().REVERSE->trigger();
    h.f().CANCEL->trigger();
    QCOMPARE(h.board(), startingBoard());
    QCOMPARE(h.f().game().record().RECORD_LEN, 0);
    QCOMPARE(h.s().MOVE_COUNT, 0);
    QCOMPARE(h.s().REVERSED, FALSE_CODE);
    QCOMPARE(h.s().TURN, NO_SIDE);
}

void NavigationTest::backInAComputerGameLetsTheComputerMoveFirst() {
    Harness h;
    h.f().SENTE->trigger();
    h.move(3, 7, 3, 6);
    QCOMPARE(h.f().game().record().RECORD_LEN, 2);
    const Move reply{h.f().game().record().REC_FROM_X[2], h.f().game().record().REC_FROM_Y[2],
                     h.f().game().record().REC_TO_X[2], h.f().game().record().REC_TO_Y[2]};
    const std::string afterReply = h.board();
    h.f().REPLAY->trigger();
    QCOMPARE(h.f().game().record().RECORD_POS, 1);
    h.forget();
    h.press(2, 7);
    QCOMPARE(h.shown(), QStringList{QStringLiteral("OKですか？ | 再開 | OK")});
    // The computer made the upper side's move again, the same one on the same board.
    QCOMPARE(h.f().game().record().RECORD_POS, 2);
    QCOMPARE(h.f().game().record().RECORD_LEN, 2);
    QCOMPARE(h.f().game().record().REC_FROM_X[2], reply.fx);
    QCOMPARE(h.f().game().record().REC_FROM_Y[2], reply.fy);
    QCOMPARE(h.f().game().record().REC_TO_X[2], reply.tx);
    QCOMPARE(h.f().game().record().REC_TO_Y[2], reply.ty);
    QCOMPARE(h.board(), afterReply);
    QCOMPARE(h.s().TURN, h.s().MAN_SIDE);
    QCOMPARE(h.s().SELECT_STATE, 0);
    // Now the human's press picks up a piece.
    h.press(2, 7);
    QCOMPARE(h.s().SELECT_STATE, 1);
}

QTEST_MAIN(NavigationTest)
#include "navigation_test.moc"
