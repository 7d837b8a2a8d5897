// perft: the number of move sequences from a position, counted by the game's own rules and by
// LEVEL4's make/unmake board. Both must agree with each other and with the pinned counts.

#include "ai/level4_position.h"
#include "game/moves.h"
#include "game/position_text.h"

#include <gtest/gtest.h>

namespace zubeki {
namespace {

TEST(Perft, BothGeneratorsCountThePinnedSequences) {
    struct Case {
        const char* position;
        int depth;
        std::uint64_t nodes;
    };
    const Case cases[] = {
        {START_POSITION.data(), 1, 34},
        {START_POSITION.data(), 2, 1064},
        {START_POSITION.data(), 3, 34710},
        {START_POSITION.data(), 4, 1093960},
        // Three pieces of the lower side in check, promoted pieces on both sides.
        {"7br/2R4+R1/1B3br2/3R3r1/9/6B1r/1B6+r/B8/R+b4Rb1 u 3c,2a,1a 0 34", 3, 9543},
        // The lower bishop on 8h must move.
        {"1B1r4r/6brb/5b1b1/2r6/3R1B3/2R6/9/BR+r6/RB6R l 8h 0 17", 3, 3783},
        {"r1+B5r/8b/r8/3R4r/9/1+bb3b2/4R4/B1BR5/RBR4r1 l - 0 21", 3, 76850},
        // Neither side can move: a pass, then the second pass ends the game.
        {"8R/9/9/9/9/9/9/9/r8 u - 0 1", 1, 1},
        {"8R/9/9/9/9/9/9/9/r8 u - 0 1", 2, 1},
        {"8R/9/9/9/9/9/9/9/r8 u - 0 1", 3, 0},
        {"8R/9/9/9/9/9/9/9/r8 u - 1 1", 2, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.position << " depth " << c.depth);
        const ReadPosition read = 局面読込(c.position);
        ASSERT_TRUE(read.ok) << read.error;
        EXPECT_EQ(perft(read.state, read.side, c.depth), c.nodes);
        level4::Position board =
            level4::Position::from(read.state, read.side > 0 ? Side::Upper : Side::Lower, 0);
        EXPECT_EQ(level4::perft(board, c.depth), c.nodes);
        EXPECT_EQ(board.key(), board.freshKey()); // make/unmake left the board as it was
    }
}

} // namespace
} // namespace zubeki
