// A position and its moves read as one: passes written or left out, refusals with the word and
// its place, and the game's end.
#include <gtest/gtest.h>

#include "game/line.h"
#include "game/position_text.h"

namespace zubeki {
namespace {

struct LineCase {
    const char* start;
    const char* moves;
    const char* read; // the moves read, passes included, or "" on a refusal
    const char* end;  // the position after them ("": not compared), or the refused word
    int failedAt;     // 0: read whole
    bool ended;       // the game ended with the last move (or before the refused word)
};

// The lower bishop on 9a has no move, the upper one does; the lower rook on 9i always has one.
const char* const kBlocked = "B8/1b7/9/9/9/9/9/9/9 l - 0 3";
const char* const kBlockedTwice = "B8/1b7/9/9/9/9/9/9/9 l - 1 3";

const LineCase kLines[] = {
    {START_POSITION.data(), "", "", "6rbr/6brb/6rbr/9/9/9/RBR6/BRB6/RBR6 l - 0 1", 0, false},
    {START_POSITION.data(), "  7g7f   3a4a ", "7g7f 3a4a", "", 0, false},
    // A pass left out is put back; written, it reads the same.
    {kBlocked, "8b9c", "pass 8b9c", "B8/9/b8/9/9/9/9/9/9 l - 0 4", 0, false},
    {kBlocked, "pass 8b9c", "pass 8b9c", "B8/9/b8/9/9/9/9/9/9 l - 0 4", 0, false},
    // Refused: a pass while a move exists, a move that is no move, one after the end.
    {kBlocked, "pass pass", "", "pass", 2, false},
    {START_POSITION.data(), "7g7f 7g7f", "", "7g7f", 2, false},
    {START_POSITION.data(), "7g7f x", "", "x", 2, false},
    {kBlockedTwice, "pass 8b9c", "", "8b9c", 2, true},
    {kBlockedTwice, "8b9c", "", "8b9c", 1, true},
};

TEST(ReadLine, ReadsPassesOneWayAndSaysWhereItStopped) {
    for (const LineCase& c : kLines) {
        SCOPED_TRACE(std::string(c.start) + " | " + c.moves);
        std::string why;
        const std::optional<Position> start = Position::fromText(c.start, why);
        ASSERT_TRUE(start) << why;
        const ReadLine r = readLine(*start, c.moves);
        EXPECT_EQ(r.failedAt, c.failedAt) << r.why;
        EXPECT_EQ(r.ended || r.afterEnd, c.ended);
        if (c.failedAt != 0) {
            EXPECT_EQ(r.failedWord, c.end);
            EXPECT_EQ(r.afterEnd, c.ended);
            continue;
        }
        std::string read;
        for (const Move& m : r.moves) {
            if (!read.empty()) read += ' ';
            read += 指し手文字列(m);
        }
        EXPECT_EQ(read, c.read);
        ASSERT_EQ(r.before.size(), r.moves.size());
        // Each move was read in the position before it, and they lead to the end.
        Position p = *start;
        for (std::size_t i = 0; i < r.moves.size(); ++i) {
            EXPECT_EQ(r.before[i], p);
            p.play(r.moves[i]);
        }
        EXPECT_EQ(p, r.end);
        if (c.end[0] != '\0') {
            EXPECT_EQ(r.end.text(), c.end);
        }
    }
}

} // namespace
} // namespace zubeki
