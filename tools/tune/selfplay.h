#pragma once

#include <cstdint>
#include <ostream>

// Labelled positions from LEVEL4 playing itself: each game opens with seeded random moves and
// is played out at a node budget a move; its quiet positions are written one a line, the
// position notation and who won ('l', 'u' or 'd'), as the tuner reads them, with an empty
// line after each game.
namespace zubeki::tune {

struct SelfplayOptions {
    int games = 1;
    std::uint64_t nodes = 5000; // a move
    int openings = 8;           // random moves before LEVEL4 plays
    std::uint32_t seed = 1;
};

struct SelfplayCount {
    int games = 0;
    long long positions = 0;
};

SelfplayCount writeSelfplay(const SelfplayOptions& options, std::ostream& out);

} // namespace zubeki::tune
