#pragma once

// LEVEL4's evaluation as weights times features: what it counts on each side's pieces, and
// the trace that gives a position's counts (for tests and for fitting the weights).

#include "ai/level4_position.h"

#include <string_view>

namespace zubeki::level4 {

enum Feature : int {
    kFeatureAdvance,      // per piece, 12 less its steps to the enemy camp
    kFeaturePromoted,     // promoted pieces
    kFeatureMobility,     // directions a piece can take a first step in
    kFeatureStuck,        // pieces that cannot step at all
    kFeatureInCamp,       // pieces standing in the enemy camp
    kFeatureCampSquared,  // the square of those: the race speeds up
    kFeatureOneLiberty,   // groups one move from being surrounded
    kFeatureTwoLiberties, // groups two moves from it
    kFeatureTempo,        // 1 for the side to move
    kFeatureCount
};

// The names the tuner and the generated weights use, in the order above.
inline constexpr std::string_view kFeatureNames[kFeatureCount] = {
    "advance",      "promoted",    "mobility",      "stuck", "in_camp",
    "camp_squared", "one_liberty", "two_liberties", "tempo"};

// A position's features on each side. The score is the weights times the side to move's
// counts less the other side's.
struct Trace {
    int mine[kFeatureCount]{};   // the side to move
    int theirs[kFeatureCount]{}; // the other side
    int score = 0;               // what the search sees at the horizon, for the side to move
};

// `mine` and `theirs` are working space for the two sides' group scans.
Trace trace(const Position& p, GroupScan& mine, GroupScan& theirs);

} // namespace zubeki::level4
