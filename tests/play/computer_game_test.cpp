// Whole games against the computer at every level, the human's moves picked by a seeded
// policy and entered through presses, with the move list checked against the board after
// every turn.
#include "recorder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using namespace zubeki;
using namespace zubeki::playtest;

namespace {

// The list holds 500 moves; a game is cut off well before the human and the computer
// together could fill it.
constexpr int kHumanMoveCap = 200;

struct Legal {
    Step move;
    bool mayPromote;
};

std::vector<Legal> lowerMoves(Position s) {
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

bool contains(const Lines& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

TEST(ComputerGame, GoteMovesBeforeTheCallReturns) {
    Session p;
    p.game.GOTE();
    EXPECT_TRUE(p.out.messages.empty());
    ASSERT_EQ(p.rec().RECORD_LEN, 1);
    EXPECT_GE(p.rec().REC_RESULT[1], UE_BISHOP);
    EXPECT_EQ(p.s().MOVE_COUNT, 1);
    EXPECT_EQ(p.session().TURN, p.session().MAN_SIDE);
    EXPECT_EQ(p.session().MAN_SIDE, SIDE_GOTE);
    EXPECT_EQ(p.board(), replayed(p.rec()));
    // The computer shows it is thinking, pauses half a second before its piece sound, and
    // writes its move in white in the upper slot.
    EXPECT_TRUE(p.out.hasDrawn("描画_文字 上 思考中 15"));
    EXPECT_EQ(p.out.waits, std::vector<double>{0.5});
    EXPECT_EQ(p.out.sounds, std::vector<Wave>{Wave::Piece});
    const int tx = p.rec().REC_TO_X[1], ty = p.rec().REC_TO_Y[1];
    EXPECT_EQ(p.out.drawnBy("描画_移動結果"),
              Lines{"描画_移動結果 上 " + std::to_string(tx) + " " + std::to_string(ty) + " " +
                    std::to_string(p.rec().REC_RESULT[1]) + " 15"});
    EXPECT_TRUE(p.out.hasDrawn("描画_桝輪郭 15 " + std::to_string(tx) + " " + std::to_string(ty)));
}

struct GameCase {
    int level;
    bool humanFirst;
    unsigned seed;
};

class WholeGame : public testing::TestWithParam<GameCase> {};

TEST_P(WholeGame, ListMatchesTheBoardAfterEveryTurn) {
    const GameCase c = GetParam();
    Session p;
    p.game.setLevel(c.level);

    std::string result;
    bool listMatchedAtTheEnd = false;
    p.out.onMessage = [&](const std::string& m) {
        if (m.find("の勝ちです |") != std::string::npos || m.starts_with("引き分けです |")) {
            result = m.substr(0, m.find(" |"));
            // The winning move stands where the list says, whatever it removed.
            const MoveList& rec = p.rec();
            const int n = rec.RECORD_POS;
            listMatchedAtTheEnd =
                n == 0 || p.s().BOARD[rec.REC_TO_X[n]][rec.REC_TO_Y[n]] == rec.REC_RESULT[n];
        }
    };
    if (c.humanFirst)
        p.game.SENTE();
    else
        p.game.GOTE();
    EXPECT_EQ(p.out.messages, c.humanFirst ? Lines{"あなたの番です |   | OK"} : Lines{});

    std::mt19937 rng(c.seed);
    int humanMoves = 0;
    for (; result.empty() && humanMoves < kHumanMoveCap; ++humanMoves) {
        ASSERT_EQ(p.session().TURN, p.session().MAN_SIDE);
        const std::vector<Legal> legal = lowerMoves(p.s());
        const int before = p.rec().RECORD_LEN;
        if (legal.empty()) {
            p.press(5, 5);
            EXPECT_TRUE(contains(p.out.messages, "あなたはパスです | パス | OK") ||
                        result == "引き分けです");
            continue;
        }
        const Legal& pick =
            legal[std::uniform_int_distribution<std::size_t>(0, legal.size() - 1)(rng)];
        const int button = pick.mayPromote && (rng() & 1) ? 2 : 1;
        const int piece = p.s().BOARD[pick.move.fx][pick.move.fy];
        p.move(pick.move, button);
        if (!result.empty()) break;

        // The human's move and the computer's reply (unless it passed) are on the list.
        const MoveList& rec = p.rec();
        ASSERT_TRUE(rec.RECORD_LEN == before + 1 || rec.RECORD_LEN == before + 2);
        EXPECT_EQ(rec.RECORD_POS, rec.RECORD_LEN);
        EXPECT_EQ(p.s().MOVE_COUNT, rec.RECORD_LEN);
        EXPECT_EQ(rec.REC_PIECE[before + 1], piece);
        EXPECT_EQ(rec.REC_RESULT[before + 1] != piece, button == 2);
        for (int n = before + 1; n <= rec.RECORD_LEN; ++n) {
            EXPECT_EQ(rec.REC_TARGET[n], EMPTY);
            EXPECT_EQ(rec.REC_RESULT[n] > 0, n > before + 1);
        }
        ASSERT_EQ(p.board(), replayed(rec));
        EXPECT_EQ(p.session().SELECT_STATE, 0);
    }
    for (const std::string& m : p.out.messages) EXPECT_EQ(m.find("500"), std::string::npos) << m;
    if (result.empty()) {
        // Cut off: the game is still running and the list still matches the board.
        EXPECT_EQ(humanMoves, kHumanMoveCap);
        EXPECT_EQ(p.board(), replayed(p.rec()));
        return;
    }
    EXPECT_TRUE(result == "MANの勝ちです" || result == "ｺﾝﾋﾟｭｰﾀの勝ちです" ||
                result == "引き分けです")
        << result;
    EXPECT_TRUE(listMatchedAtTheEnd);
    EXPECT_EQ(p.out.messages.back(), "続けますか？ | 再ゲーム | YesNo");
    EXPECT_EQ(p.board(), startingBoard());
    EXPECT_EQ(p.session().TURN, NO_SIDE);
    EXPECT_EQ(p.out.quits, 0);
}

std::vector<GameCase> gameCases() {
    std::vector<GameCase> out;
    for (int level = 1; level <= 3; ++level)
        for (bool first : {true, false})
            out.push_back({level, first, static_cast<unsigned>(17 * level + (first ? 1 : 2))});
    return out;
}

INSTANTIATE_TEST_SUITE_P(Levels, WholeGame, testing::ValuesIn(gameCases()), [](const auto& test) {
    return "level" + std::to_string(test.param.level) +
           (test.param.humanFirst ? "_human_first" : "_computer_first");
});

} // namespace
