#pragma once

#include "game/position.h"

#include <string>
#include <string_view>
#include <vector>

// A position and the moves played from it, read as one: the position notation's reader and the
// move strings ("9g9f", "3c1a+", "pass"), each move read in the position it is played in. The
// pass of a side without a move may be written or left out, as a record leaves it out; either
// way it is in the moves read. zubeki-cli and zubeki-engine both read their moves here.
namespace zubeki {

struct ReadLine {
    std::vector<Move> moves;      // every move and pass played, in order
    std::vector<Position> before; // the position each of them was played in
    Position end;                 // the position after the last
    bool ended = false;           // the last move ended the game
    std::string last;             // the last move as written
    // What went wrong, if anything: the word at `failedAt` (1-based among the moves written)
    // is not a legal move here (`why`), or comes after the end of the game (`afterEnd`).
    int failedAt = 0;
    bool afterEnd = false;
    std::string why;
    std::string failedWord;
    bool ok() const { return failedAt == 0; }
};

// The moves `words` (separated by blanks) from `start`.
ReadLine readLine(const Position& start, std::string_view words);

} // namespace zubeki
