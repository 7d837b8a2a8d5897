#pragma once

#include "game/position.h"

#include <string>
#include <string_view>

// The position notation: one line that holds everything the rules need to go on from a
// position. Five fields separated by one blank:
//   board   the ranks y 1..9 from the top, separated by '/'; in a rank the squares x 1..9 from
//           the left: R B a lower rook / bishop, r b an upper one, '+' before a promoted
//           piece, a digit 1..9 for a run of empty squares
//   side    'l' when the lower side moves next, 'u' when the upper side does
//   check   '-', or the squares whose pieces must move, separated by commas, x then y
//   passes  the passes in a row just before the position, 0 or 1
//   number  the number of the next move, from 1 (a pass is not a move)
namespace zubeki {

inline constexpr std::string_view START_POSITION = "6rbr/6brb/6rbr/9/9/9/RBR6/BRB6/RBR6 l - 0 1";

// The largest move number the notation takes.
inline constexpr int MAX_POSITION_NUMBER = 99999;

// The position with `side` (-1 lower, +1 upper) to move.
std::string 局面表記(const Position& 局面, int side);

struct ReadPosition {
    bool ok = false;
    std::string error; // one line saying what is wrong
    Position state;    // the side to move in SIDE
    int side = 0;      // -1 lower, +1 upper
};

// Reads a position; anything malformed, or a position no game can reach, is refused with the
// reason.
ReadPosition 局面読込(std::string_view text);

} // namespace zubeki
