// Whole games against the computer at every level, the human's moves picked by a seeded
// policy and entered through presses, with the move list checked against the board after
// every turn.
#include "harness.h"

#include <QTest>
#include <random>

using namespace zubeki;
using namespace zubeki::uitest;

namespace {

// The list holds 500 moves; a game is cut off well before the human and the computer
// together could fill it.
constexpr int kHumanMoveCap = 200;

struct Legal {
    Move move;
    bool mayPromote;
};

std::vector<Legal> lowerMoves(GameState s) {
    std::vector<Legal> out;
    for (int fx = 1; fx <= 9; ++fx)
        for (int fy = 1; fy <= 9; ++fy) {
            const int p = s.BOARD[fx][fy];
            if (!isLowerPiece(p)) continue;
            for (int tx = 1; tx <= 9; ++tx)
                for (int ty = 1; ty <= 9; ++ty)
                    if (s.移動チェック(fx, fy, tx, ty, p) == TRUE_CODE)
                        out.push_back(
                            {{fx, fy, tx, ty}, s.調査_駒成(fx, fy, tx, ty, p) == TRUE_CODE});
        }
    return out;
}

// The board the move list describes: the start with every entry's source emptied and its
// destination given the recorded code. Captures end the game, so while it runs no piece
// has vanished and this must be the board exactly.
std::string replayed(const MoveList& rec) {
    GameState s;
    s.初期設定();
    for (int n = 1; n <= rec.RECORD_POS; ++n) {
        s.BOARD[rec.REC_FROM_X[n]][rec.REC_FROM_Y[n]] = EMPTY;
        s.BOARD[rec.REC_TO_X[n]][rec.REC_TO_Y[n]] = rec.REC_RESULT[n];
    }
    return diagram::toDiagram(s);
}

} // namespace

class ComputerGameTest : public QObject {
    Q_OBJECT
  private slots:
    void goteMovesBeforeTheClickReturns();
    void wholeGame_data();
    void wholeGame();
};

void ComputerGameTest::goteMovesBeforeTheClickReturns() {
    Harness h;
    h.forget();
    h.f().GOTE->trigger();
    QVERIFY(h.messages.empty());
    QCOMPARE(h.f().game().record().RECORD_LEN, 1);
    QVERIFY(h.f().game().record().REC_RESULT[1] >= UE_BISHOP);
    QCOMPARE(h.s().MOVE_COUNT, 1);
    QCOMPARE(h.s().TURN, h.s().MAN_SIDE);
    QCOMPARE(h.s().MAN_SIDE, SIDE_GOTE);
    QCOMPARE(h.board(), replayed(h.f().game().record()));
    // The computer paused half a second before its piece sound, then blinked.
    QCOMPARE(h.waits.front(), 0.5);
    QVERIFY(FakeSound::lines().contains(QStringLiteral("dsPlay 駒打音.wav")));
    QVERIFY(ink(upperSlot(h.image())) > 0);
}

void ComputerGameTest::wholeGame_data() {
    QTest::addColumn<int>("level");
    QTest::addColumn<bool>("humanFirst");
    QTest::addColumn<unsigned>("seed");
    for (int level = 1; level <= 3; ++level)
        for (bool first : {true, false})
            QTest::addRow("level %d, %s", level, first ? "human first" : "computer first")
                << level << first << static_cast<unsigned>(17 * level + (first ? 1 : 2));
}

void ComputerGameTest::wholeGame() {
    QFETCH(int, level);
    QFETCH(bool, humanFirst);
    QFETCH(unsigned, seed);
    Harness h;
    QAction* levels[] = {h.f().LEVEL1, h.f().LEVEL2, h.f().LEVEL3};
    levels[level - 1]->trigger();

    QString result;
    bool listMatchedAtTheEnd = false;
    h.onMessage = [&](const Message& m) {
        if (m.text.endsWith(QStringLiteral("の勝ちです")) ||
            m.text == QStringLiteral("引き分けです")) {
            result = m.text;
            // The winning move stands where the list says, whatever it removed.
            const MoveList& rec = h.f().game().record();
            const int n = rec.RECORD_POS;
            listMatchedAtTheEnd =
                n == 0 || h.s().BOARD[rec.REC_TO_X[n]][rec.REC_TO_Y[n]] == rec.REC_RESULT[n];
        }
    };
    (humanFirst ? h.f().SENTE : h.f().GOTE)->trigger();
    QCOMPARE(h.shown(),
             humanFirst ? QStringList{QStringLiteral("あなたの番です |   | OK")} : QStringList{});
    QCOMPARE(h.messages.empty() ? QString() : h.messages[0].title,
             humanFirst ? QStringLiteral(" ") : QString());

    std::mt19937 rng(seed);
    int humanMoves = 0;
    for (; result.isEmpty() && humanMoves < kHumanMoveCap; ++humanMoves) {
        QCOMPARE(h.s().TURN, h.s().MAN_SIDE);
        const std::vector<Legal> legal = lowerMoves(h.s());
        const int before = h.f().game().record().RECORD_LEN;
        if (legal.empty()) {
            h.press(5, 5);
            QVERIFY(h.shown().contains(QStringLiteral("あなたはパスです | パス | OK")) ||
                    result == QStringLiteral("引き分けです"));
            continue;
        }
        const Legal& pick =
            legal[std::uniform_int_distribution<std::size_t>(0, legal.size() - 1)(rng)];
        const int button = pick.mayPromote && (rng() & 1) ? 2 : 1;
        const int piece = h.s().BOARD[pick.move.fx][pick.move.fy];
        h.move(pick.move.fx, pick.move.fy, pick.move.tx, pick.move.ty, button);
        if (!result.isEmpty()) break;

        // The human's move and the computer's reply (unless it passed) are on the list.
        const MoveList& rec = h.f().game().record();
        QVERIFY(rec.RECORD_LEN == before + 1 || rec.RECORD_LEN == before + 2);
        QCOMPARE(rec.RECORD_POS, rec.RECORD_LEN);
        QCOMPARE(h.s().MOVE_COUNT, rec.RECORD_LEN);
        QCOMPARE(rec.REC_PIECE[before + 1], piece);
        QCOMPARE(rec.REC_RESULT[before + 1] != piece, button == 2);
        for (int n = before + 1; n <= rec.RECORD_LEN; ++n) {
            QCOMPARE(rec.REC_TARGET[n], EMPTY);
            QCOMPARE(rec.REC_RESULT[n] > 0, n > before + 1);
        }
        QCOMPARE(h.board(), replayed(rec));
        QCOMPARE(h.s().SELECT_STATE, 0);
    }
    QVERIFY(!h.shown().join(QLatin1Char('\n')).contains(QStringLiteral("500")));
    if (result.isEmpty()) {
        // Cut off: the game is still running and the list still matches the board.
        QCOMPARE(humanMoves, kHumanMoveCap);
        QCOMPARE(h.board(), replayed(h.f().game().record()));
        return;
    }
    QVERIFY2(result == QStringLiteral("MANの勝ちです") ||
                 result == QStringLiteral("ｺﾝﾋﾟｭｰﾀの勝ちです") ||
                 result == QStringLiteral("引き分けです"),
             qPrintable(result));
    QVERIFY(listMatchedAtTheEnd);
    QCOMPARE(h.shown().last(), QStringLiteral("続けますか？ | 再ゲーム | YesNo"));
    QCOMPARE(h.board(), startingBoard());
    QCOMPARE(h.s().TURN, NO_SIDE);
    QCOMPARE(h.ends, 0);
    qInfo("%s after %d human moves", qPrintable(result), humanMoves);
}

QTEST_MAIN(ComputerGameTest)
#include "computer_game_test.moc"
