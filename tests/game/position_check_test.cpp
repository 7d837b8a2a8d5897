// The checks on a position: what no game can reach (refused by the notation reader too) and what
// the editor refuses on top, each with the squares that show it.
#include <gtest/gtest.h>

#include "game/position_check.h"
#include "game/position_text.h"
#include "tests/game/diagram.h"

namespace zubeki {
namespace {

struct CheckCase {
    const char* name;
    diagram::Rows rows; // lower side: r b, upper side: R B
    PositionFault unreachable;
    PositionFault editor;
    int squares; // how many squares faultSquares marks for the editor's fault
};

// clang-format off
const CheckCase kCases[] = {
    {"Start", {"......RBR", "......BRB", "......RBR", "", "", "", "rbr", "brb", "rbr"},
     PositionFault::None, PositionFault::None, 0},
    {"TenLowerPieces", {"......RBR", "......BRB", "......RBR", "", "r", "", "rbr", "brb", "rbr"},
     PositionFault::TooManyPieces, PositionFault::TooManyPieces, 10},
    {"NinePiecesAndAFewAreFine", {"RRRRRRRRR", "", "", "", "", "", "", "", "b"},
     PositionFault::None, PositionFault::None, 0},
    {"LowerPromotedRookInItsCamp", {"", "", "", "", "", "", "", ".+r", ""},
     PositionFault::PromotedInOwnCamp, PositionFault::PromotedInOwnCamp, 1},
    {"UpperPromotedBishopsInTheirCamp", {"......+B.+B", "", "", "", "", "", "", "", ""},
     PositionFault::PromotedInOwnCamp, PositionFault::PromotedInOwnCamp, 2},
    {"PromotedInTheEnemyCampIsFine", {"......+r", "", "", "", "", "", "..+B", "", ""},
     PositionFault::None, PositionFault::None, 0},
    {"PromotedJustOutsideItsCamp", {"", "", "", "", "", "+r", "...+r", "", ""},
     PositionFault::None, PositionFault::None, 0},
    {"UpperCampFilledByTheLowerSide", {"......rrr", "......r+bb", "......rrr", "", "", "", "", "", ""},
     PositionFault::CampFilled, PositionFault::CampFilled, 9},
    {"LowerCampFilledByTheUpperSide", {"", "", "", "", "", "", "RRR", "RBB", "RRR"},
     PositionFault::CampFilled, PositionFault::CampFilled, 9},
    {"CampOneEnemyShort", {"......rrr", "......rRb", "......rrr", "", "", "", "", "", ""},
     PositionFault::None, PositionFault::GroupWithoutLiberty, 1},
    {"GroupShutInTheCorner", {"rrR", "rRR", "R"},
     PositionFault::None, PositionFault::GroupWithoutLiberty, 3},
    {"GroupWithOneLiberty", {"rr.", "rRR", "R"},
     PositionFault::None, PositionFault::None, 0},
    {"EmptyBoard", {}, PositionFault::None, PositionFault::None, 0},
};
// clang-format on

TEST(PositionCheck, FindsEachFaultAndItsSquares) {
    for (const CheckCase& c : kCases) {
        SCOPED_TRACE(c.name);
        const Position p = diagram::position(c.rows);
        EXPECT_EQ(unreachableFault(p), c.unreachable);
        EXPECT_EQ(editorFault(p), c.editor);
        EXPECT_EQ(faultSquares(p, c.editor).size(), c.squares);
        EXPECT_EQ(faultText(c.editor).empty(), c.editor == PositionFault::None);
        EXPECT_EQ(groupWithoutLiberty(p).empty(), c.editor != PositionFault::GroupWithoutLiberty);

        // The notation reader refuses exactly the unreachable ones, with the fault's words (more
        // than nine pieces are refused while the board is read, naming the side).
        const ReadPosition read = 局面読込(p.text());
        EXPECT_EQ(read.ok, c.unreachable == PositionFault::None) << p.text();
        if (c.unreachable != PositionFault::None && c.unreachable != PositionFault::TooManyPieces) {
            EXPECT_EQ(read.error, faultText(c.unreachable));
        }
    }
}

TEST(PositionCheck, AGroupShutInByItsOwnSideInPlayStillReads) {
    // The upper side moved 2b into the last liberty of its own group 3a 2a 1a 2b 1b...: only
    // enemy groups beside a moved piece are captured, so play reaches this.
    const char* text = "4R1r+Br/b6r1/4rb3/2b1b4/7R1/6R2/1B7/BR6r/RB7 u 3a,2b,1a 0 24";
    const ReadPosition read = 局面読込(text);
    ASSERT_TRUE(read.ok) << read.error;
    EXPECT_EQ(unreachableFault(read.state), PositionFault::None);
    EXPECT_EQ(editorFault(read.state), PositionFault::GroupWithoutLiberty);
    EXPECT_FALSE(groupWithoutLiberty(read.state).empty());
}

} // namespace
} // namespace zubeki
