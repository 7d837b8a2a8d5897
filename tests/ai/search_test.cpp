#include "ai/evaluation.h"
#include "ai/search.h"
#include "board_diagram.h"
#include "seeded_positions.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace zubeki {
namespace {

using test::positionOf;

struct SearchCase {
    const char* name;
    const char* board;
    int level;
    ComputerMove expected; // with the clock digit 0
};

class BestMove : public testing::TestWithParam<SearchCase> {};

TEST_P(BestMove, PicksTheFirstStrictlyBestMove) {
    const SearchCase& c = GetParam();
    GameState s = positionOf(c.board);
    Influence inf;
    const ComputerMove m = 最善手探索(s, inf, c.level, ClockDigit::fixed(0));
    const ComputerMove& e = c.expected;
    EXPECT_EQ(m.found, e.found);
    EXPECT_EQ(m.移動元X, e.移動元X);
    EXPECT_EQ(m.移動元Y, e.移動元Y);
    EXPECT_EQ(m.移動先X, e.移動先X);
    EXPECT_EQ(m.移動先Y, e.移動先Y);
    EXPECT_EQ(m.移動前駒, e.移動前駒);
    EXPECT_EQ(m.移動駒, e.移動駒);
    EXPECT_DOUBLE_EQ(m.BEST_SCORE, e.BEST_SCORE);
}

INSTANTIATE_TEST_SUITE_P(
    Positions, BestMove,
    testing::Values(
        // Down-left into the camp scores 22 on (3,7), (2,8) and (1,9); the destination
        // scan runs x outer, so (1,9) comes first.
        SearchCase{"TieAmongDestinations",
                   "........."
                   "........."
                   "........."
                   "........."
                   "....B...."
                   "........."
                   "........."
                   "........."
                   ".........",
                   1, ComputerMove{{5, 5, 1, 9, UE_BISHOP, UE_BISHOP_PROMOTED}, true, 22}},
        // Both bishops reach 12 at best; the source scan runs x outer, so (2,5) before (5,2).
        SearchCase{"TieAmongSources",
                   "........."
                   "....B...."
                   "........."
                   "........."
                   ".B......."
                   "........."
                   "........."
                   "........."
                   ".........",
                   1, ComputerMove{{2, 5, 1, 6, UE_BISHOP, UE_BISHOP}, true, 12}},
        SearchCase{"PromotesWhenBetter",
                   "........."
                   "........."
                   "........."
                   "........."
                   "........."
                   "........."
                   "....R...."
                   "........."
                   ".........",
                   1, ComputerMove{{5, 7, 1, 7, UE_ROOK, UE_ROOK_PROMOTED}, true, 11}},
        // The only move is (4,9) to (3,9): promoted, the piece would be shut in beside the
        // camp (-150); unpromoted it only loses 35 for having nowhere safe to go.
        SearchCase{"StaysUnpromotedWhenPromotionIsWorse",
                   "........."
                   "........."
                   "........."
                   "........."
                   "........."
                   "........."
                   "........."
                   "..b......"
                   ".b.R.....",
                   3, ComputerMove{{4, 9, 3, 9, UE_ROOK, UE_ROOK}, true, 1 - 35}},
        SearchCase{"EveryPieceBlocked", test::kUpperShutIn, 3, ComputerMove{}},
        SearchCase{"NoUpperPieces",
                   "........."
                   "........."
                   "........."
                   "........."
                   "....r...."
                   "........."
                   "........."
                   "........."
                   ".........",
                   1, ComputerMove{}}),
    [](const testing::TestParamInfo<SearchCase>& i) { return std::string(i.param.name); });

// The human's check leaves the computer only the checked piece, even though the bishop
// on (5,5) has far better moves.
TEST(BestMove, CheckRestrictsTheComputer) {
    GameState s = test::checkedRookAndFreeBishop();
    Influence inf;
    const ComputerMove m = 最善手探索(s, inf, 3, ClockDigit::fixed(0));
    ASSERT_TRUE(m.found);
    EXPECT_EQ(m.移動元X, 9);
    EXPECT_EQ(m.移動元Y, 9);

    // The same position with the checked piece unable to move: nothing may move.
    s.BOARD[8][9] = SITA_ROOK;
    EXPECT_FALSE(最善手探索(s, inf, 3, ClockDigit::fixed(0)).found);
}

// Whatever the level, the search hands the position back exactly as it found it, and the
// score it reports is the evaluation of the move it chose.
TEST(BestMove, RestoresTheBoardAndReportsTheChosenScore) {
    for (const GameState& original : test::seededPositions(12)) {
        for (int level = 1; level <= 3; ++level) {
            GameState s = original;
            Influence inf;
            const ComputerMove m = 最善手探索(s, inf, level, ClockDigit::fixed(4));
            EXPECT_EQ(std::memcmp(s.BOARD, original.BOARD, sizeof s.BOARD), 0);
            EXPECT_EQ(std::memcmp(s.CHECK_SQUARES, original.CHECK_SQUARES, sizeof s.BOARD), 0);
            if (!m.found) continue;

            EXPECT_EQ(s.移動チェック(m.移動元X, m.移動元Y, m.移動先X, m.移動先Y, m.移動前駒),
                      TRUE_CODE);
            GameState after = original;
            after.BOARD[m.移動元X][m.移動元Y] = EMPTY;
            after.BOARD[m.移動先X][m.移動先Y] = m.移動駒;
            Influence afterInf;
            afterInf.勢力調査(after);
            const EvalContext ctx{after, afterInf, level, m.移動前駒, ClockDigit::fixed(4)};
            EXPECT_DOUBLE_EQ(
                盤評価(ctx, EMPTY, m.移動駒, m.移動元X, m.移動元Y, m.移動先X, m.移動先Y),
                m.BEST_SCORE);
        }
    }
}

// The lower side's search answers in the lower side's own squares and codes.
TEST(LowerSideSearch, AnswersForTheLowerPieces) {
    // The turned twin of TieAmongDestinations: up-right into the upper camp.
    const GameState s = positionOf("........."
                                   "........."
                                   "........."
                                   "........."
                                   "....b...."
                                   "........."
                                   "........."
                                   "........."
                                   "R........");
    GameState before = s;
    Influence inf;
    const ComputerMove m = 下手番探索(s, inf, 1, ClockDigit::fixed(0));
    ASSERT_TRUE(m.found);
    EXPECT_EQ(m.移動元X, 5);
    EXPECT_EQ(m.移動元Y, 5);
    EXPECT_EQ(m.移動先X, 9);
    EXPECT_EQ(m.移動先Y, 1);
    EXPECT_EQ(m.移動前駒, SITA_BISHOP);
    EXPECT_EQ(m.移動駒, SITA_BISHOP_PROMOTED);
    EXPECT_DOUBLE_EQ(m.BEST_SCORE, 22);
    EXPECT_EQ(std::memcmp(s.BOARD, before.BOARD, sizeof s.BOARD), 0);
}

TEST(LowerSideSearch, CheckSquaresTurnWithTheBoard) {
    GameState s = positionOf("........."
                             "........."
                             "........."
                             "........."
                             "....b...."
                             "........."
                             "........."
                             "........."
                             "r........");
    s.CHECK_ACTIVE = TRUE_CODE;
    s.CHECK_SQUARES[1][9] = TRUE_CODE;
    Influence inf;
    const ComputerMove m = 下手番探索(s, inf, 3, ClockDigit::fixed(0));
    ASSERT_TRUE(m.found);
    EXPECT_EQ(m.移動元X, 1);
    EXPECT_EQ(m.移動元Y, 9);
    EXPECT_EQ(m.移動前駒, SITA_ROOK);
    EXPECT_EQ(s.移動チェック(m.移動元X, m.移動元Y, m.移動先X, m.移動先Y, m.移動前駒), TRUE_CODE);
}

// Turning twice gives the position back; the turned board holds the other side's codes.
TEST(LowerSideSearch, TurningIsAHalfTurn) {
    GameState s;
    s.初期設定();
    s.CHECK_SQUARES[2][7] = TRUE_CODE;
    const GameState turned = 反転局面(s);
    EXPECT_EQ(turned.BOARD[9][1], -s.BOARD[1][9]);
    EXPECT_EQ(turned.BOARD[8][3], -s.BOARD[2][7]);
    EXPECT_EQ(turned.CHECK_SQUARES[8][3], TRUE_CODE);
    const GameState back = 反転局面(turned);
    EXPECT_EQ(std::memcmp(back.BOARD, s.BOARD, sizeof s.BOARD), 0);
    EXPECT_EQ(std::memcmp(back.CHECK_SQUARES, s.CHECK_SQUARES, sizeof s.BOARD), 0);
    // The starting position is its own turned twin.
    EXPECT_EQ(std::memcmp(turned.BOARD, s.BOARD, sizeof s.BOARD), 0);
}

} // namespace
} // namespace zubeki
