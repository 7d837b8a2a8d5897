#include "ai/evaluation.h"
#include "board_diagram.h"

#include <gtest/gtest.h>

#include <string>

namespace zubeki {
namespace {

using test::positionOf;

// Plays the move on a copy of the drawn position the way the search does (survey of the
// board after the move, TRIAL_PIECE = the code before it) and scores it.
double scoreOf(const char* board, int level, int sx, int sy, int dx, int dy, bool promote,
               ClockDigit clock = ClockDigit::fixed(0)) {
    GameState s = positionOf(board);
    const int trial = s.BOARD[sx][sy];
    const int placed = promote ? trial + 1 : trial;
    s.BOARD[sx][sy] = EMPTY;
    s.BOARD[dx][dy] = placed;
    Influence inf;
    inf.勢力調査(s);
    const EvalContext ctx{s, inf, level, trial, clock};
    return 盤評価(ctx, EMPTY, placed, sx, sy, dx, dy);
}

struct ScoreCase {
    const char* name;
    const char* board; // before the move
    int level;
    int sx, sy, dx, dy;
    bool promote;
    double expected; // with the clock digit 0
};

class BoardEvaluation : public testing::TestWithParam<ScoreCase> {};

TEST_P(BoardEvaluation, ScoresTheMove) {
    const ScoreCase& c = GetParam();
    EXPECT_DOUBLE_EQ(scoreOf(c.board, c.level, c.sx, c.sy, c.dx, c.dy, c.promote), c.expected);
}

constexpr const char* kBishopOnFiveThree = "........."
                                           "........."
                                           "....B...."
                                           "........."
                                           "........."
                                           "........."
                                           "........."
                                           "........."
                                           ".........";
constexpr const char* kRookNearTheCamp = "........."
                                         "........."
                                         "........."
                                         "........."
                                         "........."
                                         "........."
                                         "....R...."
                                         "........."
                                         ".........";
// A lower bishop on (7,7) watches (5,5); the upper bishop on (3,3) backs that square.
constexpr const char* kBishopLineSupported = "........."
                                             "....R...."
                                             "..B......"
                                             "........."
                                             "........."
                                             "........."
                                             "......b.."
                                             "........."
                                             ".........";
constexpr const char* kBishopLineAlone = "........."
                                         "....R...."
                                         "........."
                                         "........."
                                         "........."
                                         "........."
                                         "......b.."
                                         "........."
                                         ".........";
// The bishop goes from (6,4) to (5,5) between three upper rooks; a lower rook below
// watches (5,6).
constexpr const char* kTrappedBishop = "........."
                                       "........."
                                       "........."
                                       "...R.B..."
                                       "........."
                                       "...R.R..."
                                       "........."
                                       "........."
                                       "....r....";
constexpr const char* kTrappedBishopNoAttacker = "........."
                                                 "........."
                                                 "........."
                                                 "...R.B..."
                                                 "........."
                                                 "...R.R..."
                                                 "........."
                                                 "........."
                                                 ".........";
constexpr const char* kBishopWithAnExit = "........."
                                          "........."
                                          "........."
                                          "...R.B..."
                                          "........."
                                          "...R....."
                                          "........."
                                          "........."
                                          "....r....";

INSTANTIATE_TEST_SUITE_P(
    Moves, BoardEvaluation,
    testing::Values(
        // --- every level: direction, camp, promotion ---
        ScoreCase{"BishopDownLeft", kBishopOnFiveThree, 1, 5, 3, 3, 5, false, 12},
        ScoreCase{"LeavingTheHumansCamp",
                  "........."
                  "........."
                  "........."
                  "........."
                  "........."
                  "........."
                  "........."
                  ".D......."
                  ".........",
                  1, 2, 8, 2, 5, false, -5},
        ScoreCase{"MovingWithinTheHumansCamp",
                  "........."
                  "........."
                  "........."
                  "........."
                  "........."
                  "........."
                  "..D......"
                  "........."
                  ".........",
                  1, 3, 7, 1, 7, false, 1},
        ScoreCase{"PromotedRookRightAndUp",
                  "........."
                  "........."
                  "........."
                  "........."
                  "...D....."
                  "........."
                  "........."
                  "........."
                  ".........",
                  1, 4, 5, 6, 5, false, 0},
        ScoreCase{"RookLeftUnpromoted", kRookNearTheCamp, 1, 5, 7, 2, 7, false, 1},
        ScoreCase{"RookLeftPromoted", kRookNearTheCamp, 1, 5, 7, 2, 7, true, 11},

        // --- from level 2: the line of a cheaper lower piece ---
        ScoreCase{"RookIntoBishopLineAtLevelOne", kBishopLineSupported, 1, 5, 2, 5, 5, false, 1},
        ScoreCase{"RookIntoBishopLineSupported", kBishopLineSupported, 2, 5, 2, 5, 5, false, -99},
        ScoreCase{"RookIntoBishopLineUnsupported", kBishopLineAlone, 2, 5, 2, 5, 5, false, 1},
        ScoreCase{"PromotedRookIntoBishopLine",
                  "........."
                  "....D...."
                  "..B......"
                  "........."
                  "........."
                  "........."
                  "......b.."
                  "........."
                  ".........",
                  2, 5, 2, 5, 5, false, -100},
        ScoreCase{"PromotedBishopIntoBishopLine",
                  "........."
                  "....H...."
                  "R........"
                  "........."
                  "......b.."
                  "........."
                  "........."
                  "........."
                  ".........",
                  2, 5, 2, 5, 3, false, 0},
        ScoreCase{"BishopIntoRookLine",
                  "........."
                  "....B...."
                  "........."
                  "R........"
                  "........."
                  "........."
                  "........."
                  "..r......"
                  ".........",
                  2, 5, 2, 3, 4, false, 12},

        // --- level 3: bishop ---
        ScoreCase{"TrappedBishopAtLevelTwo", kTrappedBishop, 2, 6, 4, 5, 5, false, 12},
        ScoreCase{"TrappedBishop", kTrappedBishop, 3, 6, 4, 5, 5, false, 12 - 3 - 100 - 1},
        ScoreCase{"ShutInBishopNotAttacked", kTrappedBishopNoAttacker, 3, 6, 4, 5, 5, false,
                  12 - 3},
        ScoreCase{"AttackedBishopWithAnExit", kBishopWithAnExit, 3, 6, 4, 5, 5, false, 12 - 2 - 1},
        // On row 8 the square two below would be off the board: no extra point is lost.
        ScoreCase{"AttackedBishopOnRowEight",
                  "........."
                  "........."
                  "........."
                  "........."
                  "........."
                  "......B.."
                  "........."
                  "........."
                  "r........",
                  3, 7, 6, 5, 8, false, 12},
        ScoreCase{"BishopOnTheBottomRow",
                  "........."
                  "........."
                  "........."
                  "........."
                  "........."
                  "........."
                  "........."
                  "...B....."
                  ".........",
                  3, 4, 8, 3, 9, false, 12},

        // --- level 3: rook ---
        ScoreCase{"RookWithOneSafeSquare",
                  "........."
                  "........."
                  "........."
                  "........."
                  "........R"
                  "........."
                  "........."
                  "........."
                  "......B..",
                  3, 9, 5, 9, 9, false, 1 - 35},
        ScoreCase{"RookWithRoom",
                  "........."
                  "........."
                  "........."
                  "........."
                  "........R"
                  "........."
                  "........."
                  "........."
                  ".........",
                  3, 9, 5, 9, 9, false, 1},
        ScoreCase{"RookAlongItsRowAboveALowerLine",
                  "........."
                  "........."
                  "........."
                  ".....R..."
                  "........."
                  "........."
                  "........."
                  "........."
                  "...r.....",
                  3, 6, 4, 4, 4, false, 1 - 1 - 5},
        ScoreCase{"RookFromTwoTwoToTwoThree",
                  "........."
                  ".R......."
                  "........."
                  "........."
                  "........."
                  "........."
                  "........."
                  "........."
                  ".........",
                  3, 2, 2, 2, 3, false, 1 - 1},

        // --- level 3: promoted rook ---
        ScoreCase{"PromotedRookShutInOnTheLeft",
                  "........."
                  "........."
                  "........."
                  "........."
                  "........."
                  "........."
                  "........."
                  "..bD....."
                  ".b.......",
                  3, 4, 8, 3, 9, false, 12 - 150},
        ScoreCase{"PromotedRookBesideTheCampWithAnExit",
                  "........."
                  "........."
                  "........."
                  "........."
                  "........."
                  "........."
                  "........."
                  "..br....."
                  ".b.D.....",
                  3, 4, 9, 3, 9, false, 1},
        ScoreCase{"PromotedRookShutInOnTheRight",
                  "........."
                  "........."
                  "........."
                  "........."
                  "........."
                  "........."
                  "........."
                  ".....Db.."
                  ".......b.",
                  3, 6, 8, 7, 9, false, 1 - 150},
        ScoreCase{"PromotedRookLeavingTheBottomRow",
                  "........."
                  "........."
                  "........."
                  "........."
                  "........."
                  "........."
                  "........."
                  "........."
                  "....D....",
                  3, 5, 9, 5, 5, false, 4},
        ScoreCase{"PromotedRookLeavingBesideAPiece",
                  "........."
                  "........."
                  "........."
                  "........."
                  "........."
                  "........."
                  "........."
                  "...B....."
                  "....D....",
                  3, 5, 9, 5, 5, false, 2}),
    [](const testing::TestParamInfo<ScoreCase>& i) { return std::string(i.param.name); });

// The offset is a third of the clock digit and nothing else moves with it.
TEST(BoardEvaluation, ClockDigitAddsAThird) {
    for (int d = 0; d <= 9; ++d) {
        SCOPED_TRACE(d);
        EXPECT_DOUBLE_EQ(scoreOf(kBishopOnFiveThree, 1, 5, 3, 3, 5, false, ClockDigit::fixed(d)),
                         12 + d / 3.0);
    }
}

// Scored within the same second, promoting is worth exactly 10 more at level 1.
TEST(BoardEvaluation, PromotionAddsExactlyTen) {
    int digit = 0;
    const ClockDigit clock = ClockDigit::reading(digit);
    for (digit = 0; digit <= 9; ++digit) {
        SCOPED_TRACE(digit);
        const double plain = scoreOf(kRookNearTheCamp, 1, 5, 7, 3, 7, false, clock);
        const double promoted = scoreOf(kRookNearTheCamp, 1, 5, 7, 3, 7, true, clock);
        EXPECT_EQ(promoted - plain, 10.0);
    }
}

TEST(ClockDigit, RealClockAnswersADigit) {
    const ClockDigit real;
    for (int i = 0; i < 3; ++i) {
        const int d = real();
        EXPECT_GE(d, 0);
        EXPECT_LE(d, 9);
    }
}

struct SurroundCase {
    const char* name;
    const char* board;
    int x, y;
    int expected;
};

class Surroundings : public testing::TestWithParam<SurroundCase> {};

TEST_P(Surroundings, CountsUpperNeighbours) {
    const SurroundCase& c = GetParam();
    EXPECT_EQ(調査_周辺状況(positionOf(c.board), c.x, c.y), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Squares, Surroundings,
                         testing::Values(SurroundCase{"Surrounded",
                                                      "........."
                                                      "........."
                                                      "........."
                                                      "...RBR..."
                                                      "...BRB..."
                                                      "...RBR..."
                                                      "........."
                                                      "........."
                                                      ".........",
                                                      5, 5, -8},
                                         SurroundCase{"LowerNeighboursDoNotCount",
                                                      "........."
                                                      "........."
                                                      "........."
                                                      "...rbr..."
                                                      "...bRb..."
                                                      "...rdh..."
                                                      "........."
                                                      "........."
                                                      ".........",
                                                      5, 5, 0},
                                         SurroundCase{"EmptyNeighbour",
                                                      "........."
                                                      "........."
                                                      "........."
                                                      "...R.R..."
                                                      "...B.B..."
                                                      "...RBR..."
                                                      "........."
                                                      "........."
                                                      ".........",
                                                      5, 5, -7},
                                         SurroundCase{"TopLeftCornerLooksAtThree",
                                                      "RRR......"
                                                      "RR......."
                                                      "R........"
                                                      "........."
                                                      "........."
                                                      "........."
                                                      "........."
                                                      "........."
                                                      ".........",
                                                      1, 1, -3},
                                         SurroundCase{"BottomRightCorner",
                                                      "........."
                                                      "........."
                                                      "........."
                                                      "........."
                                                      "........."
                                                      "........."
                                                      "......RRR"
                                                      "......RRR"
                                                      "......RRR",
                                                      9, 9, -3},
                                         SurroundCase{"TopEdge",
                                                      "...HDH..."
                                                      "...RBR..."
                                                      "...RRR..."
                                                      "........."
                                                      "........."
                                                      "........."
                                                      "........."
                                                      "........."
                                                      ".........",
                                                      5, 1, -5}),
                         [](const testing::TestParamInfo<SurroundCase>& i) {
                             return std::string(i.param.name);
                         });

struct SafeSquaresCase {
    const char* name;
    const char* board;
    int x, y;
    int expected;
};

class SafeSquares : public testing::TestWithParam<SafeSquaresCase> {};

TEST_P(SafeSquares, CountsLegalUnreachedDestinations) {
    const SafeSquaresCase& c = GetParam();
    const GameState s = positionOf(c.board);
    Influence inf;
    inf.勢力調査(s);
    EXPECT_EQ(調査_移動可場所数(s, inf, c.x, c.y, s.BOARD[c.x][c.y]), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Pieces, SafeSquares,
                         testing::Values(SafeSquaresCase{"EveryDestinationCovered",
                                                         "........."
                                                         "........."
                                                         "........."
                                                         "........."
                                                         "r...R...."
                                                         "........."
                                                         "........."
                                                         "........."
                                                         "....r....",
                                                         5, 5, 0},
                                         SafeSquaresCase{"OneLineOpen",
                                                         "........."
                                                         "........."
                                                         "........."
                                                         "........."
                                                         "....R...."
                                                         "........."
                                                         "........."
                                                         "........."
                                                         "....r....",
                                                         5, 5, 4},
                                         // For a lower piece the upper side's reach is what counts.
                                         SafeSquaresCase{"LowerRookAgainstUpperReach",
                                                         "R........"
                                                         "........."
                                                         "........."
                                                         "........."
                                                         "....r...."
                                                         "........."
                                                         "........."
                                                         "........."
                                                         ".........",
                                                         5, 5, 7},
                                         SafeSquaresCase{"PromotedBishopStepsAndLines",
                                                         "........."
                                                         "........."
                                                         "........."
                                                         "........."
                                                         "....H...."
                                                         "........."
                                                         "........."
                                                         "........."
                                                         "r........",
                                                         5, 5, 16 - 2}),
                         [](const testing::TestParamInfo<SafeSquaresCase>& i) {
                             return std::string(i.param.name);
                         });

// While the human's check holds, a piece off the check squares counts no move at all.
TEST(SafeSquares, CheckRestrictionLeavesNoMove) {
    GameState s = positionOf("........."
                             "........."
                             "........."
                             "........."
                             "....R...."
                             "........."
                             "........."
                             "........."
                             "........R");
    s.CHECK_ACTIVE = TRUE_CODE;
    s.CHECK_SQUARES[9][9] = TRUE_CODE;
    Influence inf;
    inf.勢力調査(s);
    EXPECT_EQ(調査_移動可場所数(s, inf, 5, 5, UE_ROOK), 0);
    EXPECT_EQ(調査_移動可場所数(s, inf, 9, 9, UE_ROOK), 8);
}

} // namespace
} // namespace zubeki
