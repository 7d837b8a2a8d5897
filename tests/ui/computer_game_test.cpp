// The same seeded games played through the window, the lower side's moves entered as presses,
// and through zubeki-cli's selfplay: both play through the one move chain, so every move and
// the final board agree.
#include "cli/selfplay.h"
#include "harness.h"

#include <QTest>

using namespace zubeki;
using namespace zubeki::uitest;

class ComputerGameTest : public QObject {
    Q_OBJECT
  private slots:
    void windowAndSelfplayAgree_data();
    void windowAndSelfplayAgree();
};

void ComputerGameTest::windowAndSelfplayAgree_data() {
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("game");
    for (int level = 1; level <= 3; ++level)
        for (int game = 1; game <= 2; ++game) // odd games open with the lower side
            QTest::addRow("level %d, game %d", level, game) << level << game;
}

void ComputerGameTest::windowAndSelfplayAgree() {
    QFETCH(int, level);
    QFETCH(int, game);
    cli::SelfplayOptions options;
    options.seed = 29;
    options.level = level;
    MoveList list;
    const cli::SelfplayGame played = cli::playSelfplayGame(options, game, list);
    QVERIFY(list.RECORD_LEN > 0);

    Harness h;
    QAction* levels[] = {h.action("LEVEL1"), h.action("LEVEL2"), h.action("LEVEL3")};
    levels[level - 1]->trigger();
    // The computer reads the digit selfplay drew for its move; after each of its pauses the
    // next one stands ready.
    std::size_t computerMoves = 0;
    h.clock = played.digits.empty() ? 0 : played.digits[0];
    h.onWait = [&] {
        if (h.waits.back() != 0.5) return;
        ++computerMoves;
        if (computerMoves < played.digits.size()) h.clock = played.digits[computerMoves];
    };
    h.answers = {Answer::No}; // "続けますか？": the final board stays
    (game % 2 == 1 ? h.action("SENTE") : h.action("GOTE"))->trigger();

    const MoveList& rec = h.f().game().record();
    while (!h.f().ended() && rec.RECORD_LEN < list.RECORD_LEN) {
        const int n = rec.RECORD_LEN + 1;
        const int before = rec.RECORD_LEN;
        if (isLowerPiece(list.REC_PIECE[n])) {
            const bool promotes = list.REC_RESULT[n] != list.REC_PIECE[n];
            h.move(list.REC_FROM_X[n], list.REC_FROM_Y[n], list.REC_TO_X[n], list.REC_TO_Y[n],
                   promotes ? RIGHT_BUTTON : 1);
        } else {
            h.press(5, 5); // the lower side has no move: its pass lets the computer move
            QVERIFY(h.shown().contains(QStringLiteral("あなたはパスです | パス | OK")));
        }
        QVERIFY2(rec.RECORD_LEN > before, qPrintable(QStringLiteral("move %1 not taken").arg(n)));
    }
    // Past 500 moves the window plays on while selfplay stops: compare the moves both made.
    const int common = std::min(rec.RECORD_LEN, list.RECORD_LEN);
    QCOMPARE(common, list.RECORD_LEN);
    for (int n = 1; n <= common; ++n) {
        QCOMPARE(rec.REC_FROM_X[n], list.REC_FROM_X[n]);
        QCOMPARE(rec.REC_FROM_Y[n], list.REC_FROM_Y[n]);
        QCOMPARE(rec.REC_TO_X[n], list.REC_TO_X[n]);
        QCOMPARE(rec.REC_TO_Y[n], list.REC_TO_Y[n]);
        QCOMPARE(rec.REC_RESULT[n], list.REC_RESULT[n]);
    }
    if (played.outcome == cli::GameOutcome::Unfinished) return;
    QVERIFY(h.f().ended()); // the game was won or drawn, and "No" ended the program
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) QCOMPARE(h.s().BOARD[x][y], played.board[x][y]);
}

QTEST_MAIN(ComputerGameTest)
#include "computer_game_test.moc"
