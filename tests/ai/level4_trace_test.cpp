// LEVEL4's evaluation as weights times features: each feature counted right on hand-made
// boards, the trace's score the search's own, and the same counts seen from the other side.

#include "ai/level4.h"
#include "ai/level4_features.h"
#include "board_diagram.h"

#include <gtest/gtest.h>

namespace zubeki {
namespace {

using level4::Trace;

struct Case {
    const char* name;
    const char* board; // capitals upper, small letters lower
    Side toMove;
    // advance, promoted, mobility, stuck, in camp, camp squared, one liberty, two liberties,
    // tempo: the side to move's, then the other's
    int mine[level4::kFeatureCount];
    int theirs[level4::kFeatureCount];
};

const Case kCases[] = {
    {"lone rooks: advance and mobility",
     "........."
     "........."
     "........."
     "........."
     "....R...."
     "........."
     "........."
     ".r......."
     ".........",
     Side::Upper,
     {8, 0, 2, 0, 0, 0, 0, 0, 1},
     {2, 0, 2, 0, 0, 0, 0, 0, 0}},
    {"a promoted rook and a rook in the camp, closed in to two liberties",
     "........."
     "........."
     "........."
     "........."
     "........."
     "........."
     ".rb......"
     "rDRb....."
     ".........",
     Side::Lower,
     {12, 0, 6, 0, 0, 0, 0, 1, 1},
     {24, 1, 5, 0, 2, 4, 0, 1, 0}},
    {"stuck pieces, one liberty left",
     "...rR...."
     "....r...."
     "........."
     "........."
     "........."
     "........."
     "........."
     "........."
     ".........",
     Side::Upper,
     {4, 0, 0, 1, 0, 0, 1, 0, 1},
     {19, 0, 1, 1, 0, 0, 0, 1, 0}},
};

Trace traceOf(const Position& board, Side side) {
    level4::GroupScan mine, theirs;
    return level4::trace(level4::Position::from(board, side, 0), mine, theirs);
}

TEST(Level4Trace, CountsEachFeatureOnHandMadeBoardsAsTheSearchScoresThem) {
    for (const Case& c : kCases) {
        const GameState s = test::positionOf(c.board);
        const Trace t = traceOf(s, c.toMove);
        for (int f = 0; f < level4::kFeatureCount; ++f) {
            EXPECT_EQ(t.mine[f], c.mine[f]) << c.name << ": " << level4::kFeatureNames[f];
            EXPECT_EQ(t.theirs[f], c.theirs[f]) << c.name << ": " << level4::kFeatureNames[f];
        }
        level4::GroupScan a, b;
        EXPECT_EQ(t.score, level4Evaluate(level4::Position::from(s, c.toMove, 0), a, b)) << c.name;

        // The board turned round with the other side to move is the same game.
        const Side turned = c.toMove == Side::Upper ? Side::Lower : Side::Upper;
        const Trace u = traceOf(反転(s), turned);
        for (int f = 0; f < level4::kFeatureCount; ++f) {
            EXPECT_EQ(u.mine[f], t.mine[f]) << c.name << " turned: " << level4::kFeatureNames[f];
            EXPECT_EQ(u.theirs[f], t.theirs[f]) << c.name << " turned";
        }
        EXPECT_EQ(u.score, t.score) << c.name << " turned";
    }
}

} // namespace
} // namespace zubeki
