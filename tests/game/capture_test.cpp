// Capture by surrounding: which groups the move just made takes off the board.
#include <gtest/gtest.h>

#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/game/diagram.h"

namespace zubeki {
namespace {

using diagram::marks;
using diagram::position;
using diagram::toDiagram;

// Plays a legal move in the two-human mode (lower pieces: first player) and runs the capture
// loop; answers GROUP_MARK as it stood each time a group was about to be removed.
std::vector<std::string> play(GameState& s, int fx, int fy, int tx, int ty) {
    const int piece = s.BOARD[fx][fy];
    EXPECT_EQ(s.移動チェック(fx, fy, tx, ty, piece), TRUE_CODE) << "the test move is illegal";
    s.駒移動(fx, fy, tx, ty, piece);
    const int mover = s.調査_駒手番(piece);
    std::vector<std::string> removed;
    s.捕獲ループ(tx, ty, mover, mover == SIDE_SENTE ? SIDE_GOTE : SIDE_SENTE, [&] {
        removed.push_back(marks(s.GROUP_MARK));
        s.当駒除去();
        if (removed.size() > 4) throw std::runtime_error("the capture loop does not end");
    });
    return removed;
}

struct CaptureCase {
    const char* name;
    int fx, fy, tx, ty;
    size_t groups; // how many groups the move takes
    diagram::Rows before, after;
};

void PrintTo(const CaptureCase& c, std::ostream* os) {
    *os << c.name;
}

// clang-format off
const CaptureCase kCases[] = {
    {"CornerPieceTakenBySecondSurrounder", 1, 5, 1, 2, 1, {"Br", "", "", "", "r"}, {".r", "r"}},
    {"CornerPieceWithALibertyStays", 1, 5, 1, 2, 0, {"B", "", "", "", "r"}, {"B", "r"}},
    {"UpperSideCapturesToo", 9, 5, 9, 8, 1,
     {"", "", "", "", "........R", "", "", "", ".......Rr"},
     {"", "", "", "", "", "", "", "........R", ".......R."}},
    {"TwoPieceGroupOnceTheSixthNeighbourIsFilled", 5, 8, 5, 5, 1,
     {"", "", "...rr", "..rBR+b", "...r", "", "", "....r"}, {"", "", "...rr", "..r..+b", "...rr"}},
    {"TwoPieceGroupWithOneLibertyStays", 5, 8, 5, 5, 0, // (6,4) is still empty
     {"", "", "...rr", "..rBR", "...r", "", "", "....r"}, {"", "", "...rr", "..rBR", "...rr"}},
    {"OwnPiecesReachThroughToALiberty", 5, 8, 5, 5, 0, // (6,4) joins the group, brings (7,4)
     {"", "", "...rr", "..rBRB", "...r", "", "", "....r"}, {"", "", "...rr", "..rBRB", "...rr"}},
    {"SurroundedGroupAwayFromTheDestinationStays", 2, 9, 2, 2, 0, // only diagonal to the bishop
     {"Br", "r", "", "", "", "", "", "", ".r"}, {"Br", "rr"}},
    {"MoversOwnPieceWithoutLibertyIsNeverTested", 3, 3, 1, 1, 0, {".R", "R", "..b"}, {"bR", "R"}},
    {"DiagonalNeighboursAreNoLiberties", 5, 9, 5, 6, 1,
     {"", "", "", "....r", "...rBr", "", "", "", "....r"},
     {"", "", "", "....r", "...r.r", "....r"}},
};
// clang-format on

class Capture : public testing::TestWithParam<CaptureCase> {};

TEST_P(Capture, RemovesExactlyTheSurroundedEnemyGroupsNextToTheDestination) {
    const CaptureCase& c = GetParam();
    GameState s = position(c.before);
    EXPECT_EQ(play(s, c.fx, c.fy, c.tx, c.ty).size(), c.groups);
    EXPECT_EQ(toDiagram(s), toDiagram(c.after));
    EXPECT_EQ(s.CAPTURE_DONE == TRUE_CODE, c.groups > 0);
}

INSTANTIATE_TEST_SUITE_P(Moves, Capture, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<CaptureCase>& i) { return i.param.name; });

TEST(CaptureLoop, RemovesTwoGroupsOneAfterTheOtherInNeighbourOrder) {
    // The lower rook arrives on (5,5) between a one-piece group on its right and a two-piece
    // group above it: right comes before up.
    GameState s = position({"", "....r", "...rRr", "...rRr", "r....Rr", ".....r"});
    const std::vector<std::string> removed = play(s, 1, 5, 5, 5);
    ASSERT_EQ(removed.size(), 2u);
    EXPECT_EQ(removed[0], marks({"", "", "", "", ".....#"}));
    EXPECT_EQ(removed[1], marks({"", "", "....#", "....#"}));
    EXPECT_EQ(toDiagram(s), toDiagram({"", "....r", "...r.r", "...r.r", "....r.r", ".....r"}));
}

TEST(GroupTest, GrowsAlongABendingGroupUntilItMeetsALiberty) {
    // A snake of upper rooks from (2,2) that turns twice; its only liberty lies past the tail.
    GameState s = position({"rrrrrrrrr", "rRRRRRRRr", "rrrrrrrRr", "rRRRRRRRr", "rRrrrrrrr",
                            "rRRRRRRR.", "rrrrrrrrr"});
    EXPECT_EQ(s.調査_当たり2(2, 2, SIDE_GOTE), FALSE_CODE);
    s.BOARD[9][6] = SITA_ROOK;
    EXPECT_EQ(s.調査_当たり2(2, 2, SIDE_GOTE), TRUE_CODE);
    const std::string snake = marks({"", ".#######", ".......#", ".#######", ".#", ".#######"});
    EXPECT_EQ(marks(s.GROUP_MARK), snake);
    EXPECT_EQ(s.調査_当たり2(8, 6, SIDE_GOTE), TRUE_CODE); // the same group from its tail
    EXPECT_EQ(marks(s.GROUP_MARK), snake);
}

TEST(GroupTest, APieceTouchingAnEmptySquareLeavesTheMarksAlone) {
    GameState s = position({"Br", "r", "", "", "....B"});
    ASSERT_EQ(s.調査_当たり2(1, 1, SIDE_GOTE), TRUE_CODE);
    const std::string before = marks(s.GROUP_MARK);
    EXPECT_EQ(s.調査_当たり2(5, 5, SIDE_GOTE), FALSE_CODE);
    EXPECT_EQ(marks(s.GROUP_MARK), before);
}

} // namespace
} // namespace zubeki
