// Between moves: check squares, passing and the race into the enemy camp.
#include <gtest/gtest.h>

#include <ostream>

#include "tests/game/diagram.h"

namespace zubeki {
namespace {

using diagram::marks;
using diagram::position;
using diagram::toDiagram;

struct CheckCase {
    const char* name;
    int x, y; // where the piece that has just moved stands
    diagram::Rows board, checked;
};

void PrintTo(const CheckCase& c, std::ostream* os) {
    *os << c.name;
}

// clang-format off
const CheckCase kCheckCases[] = {
    {"UpperRookChecksLeftAndBelowOnly", 5, 5,
     {"", "", "", "...Br", "...bRr", "....b"}, {"", "", "", "", "...#", "....#"}},
    {"LowerRookChecksRightAndAboveOnly", 5, 5,
     {"", "", "", "....B", "...RrB", "....R"}, {"", "", "", "....#", ".....#"}},
    {"UpperBishopNeverUpRight", 5, 5,
     {"", "", "", "...rrr", "....B", "...r.r"}, {"", "", "", "...#", "", "...#.#"}},
    {"LowerBishopNeverDownLeft", 5, 5,
     {"", "", "", "...R.R", "....b", "...R.R"}, {"", "", "", "...#.#", "", ".....#"}},
    {"PromotedUpperRookSparesItsOwnCamp", 6, 4,
     {"", "", "....rrr", "....b+Rr", "....bbr"}, {"", "", "....##", "....#.#", "....###"}},
    {"PromotedLowerBishopSparesItsOwnCamp", 4, 6,
     {"", "", "", "", "..RBB", "..R+bB", "..RRR"}, {"", "", "", "", "..###", "..#.#", "...##"}},
    {"ThreatenedPieceThatCanMoveIsChecked", 5, 5,
     {"", "", "", "", "....rR"}, {"", "", "", "", ".....#"}},
    {"ThreatenedPieceWithoutAMoveIsNotChecked", 5, 5, {"", "", "", "", "....rR", ".....B"}, {}},
    {"PromotedEnemiesAreNeverChecked", 5, 5, {"", "", "", "....+B", "....r+R"}, {}},
};
// clang-format on

class CheckSquares : public testing::TestWithParam<CheckCase> {};

TEST_P(CheckSquares, MarksTheAdjacentEnemiesThePieceCouldStepOnto) {
    const CheckCase& c = GetParam();
    GameState s = position(c.board);
    // Marks left by the previous move: they must neither restrict nor survive the survey.
    s.CHECK_ACTIVE = TRUE_CODE;
    s.CHECK_SQUARES[9][9] = TRUE_CODE;

    s.調査_チェック桝(c.x, c.y);

    EXPECT_EQ(marks(s.CHECK_SQUARES), marks(c.checked));
    EXPECT_EQ(s.CHECK_ACTIVE, marks(c.checked) == marks(diagram::kEmpty) ? FALSE_CODE : TRUE_CODE);
    EXPECT_EQ(toDiagram(s), toDiagram(c.board)) << "the survey put back what it lifted";
}

INSTANTIATE_TEST_SUITE_P(Pieces, CheckSquares, testing::ValuesIn(kCheckCases),
                         [](const testing::TestParamInfo<CheckCase>& i) { return i.param.name; });

TEST(CheckSquares, WhileInCheckOnlyMarkedPiecesMoveAndTheSideNeverPasses) {
    GameState s = position(kCheckCases[0].board);
    s.調査_チェック桝(5, 5);
    ASSERT_EQ(s.CHECK_ACTIVE, TRUE_CODE);
    EXPECT_EQ(s.調査_移動先があるか(4, 5), TRUE_CODE);  // checked bishop
    EXPECT_EQ(s.調査_移動先があるか(5, 6), TRUE_CODE);  // checked bishop, one way out
    EXPECT_EQ(s.調査_移動先があるか(6, 5), FALSE_CODE); // free rooks, held by the check
    EXPECT_EQ(s.調査_移動先があるか(5, 4), FALSE_CODE);
    EXPECT_EQ(s.パス判定(SITA_BISHOP), PassOutcome::HasMove);
    EXPECT_EQ(s.PASS_COUNT, 0);
    // With that way out closed and the other mark gone the free rooks still count for nothing.
    s.BOARD[6][7] = UE_ROOK;
    s.CHECK_SQUARES[4][5] = FALSE_CODE;
    EXPECT_EQ(s.調査_移動先有無(SITA_BISHOP), FALSE_CODE);
}

TEST(Pass, TwoPassesInARowDrawAndAMoveInBetweenStartsTheCountAgain) {
    // Corner rooks that can go nowhere: the lower one may not go left or down, the upper one
    // not right or up.
    GameState s = position({"........r", "", "", "", "", "", "", "", "R"});
    EXPECT_EQ(s.パス判定(SITA_BISHOP), PassOutcome::Pass);
    EXPECT_EQ(s.PASS_COUNT, 1);
    EXPECT_EQ(s.パス判定(UE_BISHOP), PassOutcome::Draw);
    EXPECT_EQ(s.PASS_COUNT, 2);

    s.PASS_COUNT = 0;
    s.BOARD[5][5] = UE_ROOK;
    EXPECT_EQ(s.パス判定(SITA_BISHOP), PassOutcome::Pass);
    EXPECT_EQ(s.パス判定(UE_BISHOP), PassOutcome::HasMove);
    EXPECT_EQ(s.PASS_COUNT, 1) << "having a move counts nothing; the mover resets the count";
    s.駒移動(5, 5, 5, 9, UE_ROOK);
    s.PASS_COUNT = 0; // what every completed move does
    EXPECT_EQ(s.パス判定(SITA_BISHOP), PassOutcome::Pass);
    EXPECT_EQ(s.PASS_COUNT, 1);

    s.BOARD[5][5] = SITA_ROOK_PROMOTED; // a promoted piece is a piece of its side like any other
    EXPECT_EQ(s.調査_移動先有無(SITA_BISHOP), TRUE_CODE);
}

TEST(EndCheck, WinsOnlyWithTheWholeEnemyCampFilledByTheMoversPieces) {
    const diagram::Rows lowerIn = {"......rb+r", "......+bbr", "......rrb"};
    const diagram::Rows upperIn = {"", "", "", "", "", "", "RB+R", "+BBR", "RRB"};
    struct Case {
        diagram::Rows board;
        int mover, expected;
    };
    // clang-format off
    const Case cases[] = {
        {lowerIn, SITA_ROOK, TRUE_CODE}, {lowerIn, SITA_BISHOP_PROMOTED, TRUE_CODE},
        {lowerIn, UE_ROOK, FALSE_CODE}, // only the mover's race is looked at
        {{"......rb+r", "......+bbr", "......rr."}, SITA_ROOK, FALSE_CODE},
        {{"......rb+r", "......+bbr", "......rrB"}, SITA_ROOK, FALSE_CODE},
        {upperIn, UE_BISHOP, TRUE_CODE}, {upperIn, UE_ROOK_PROMOTED, TRUE_CODE},
        {upperIn, SITA_BISHOP, FALSE_CODE},
        {{"", "", "", "", "", "", "RB+R", "+BBR", "RRr"}, UE_BISHOP, FALSE_CODE},
        {{"", "", "", "", "", "", "RB+R", "+B.R", "RRB"}, UE_BISHOP, FALSE_CODE},
    };
    // clang-format on
    for (const Case& c : cases)
        EXPECT_EQ(position(c.board).終了チェック(c.mover), c.expected)
            << "mover " << c.mover << "\n"
            << toDiagram(c.board);
}

} // namespace
} // namespace zubeki
