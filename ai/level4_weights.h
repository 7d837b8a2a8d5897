#pragma once

// LEVEL4's evaluation weights, one a feature in the order of ai/level4_features.h, in the
// units of the score. Written by zubeki-tune (scripts/tune.sh regenerates it); these are the
// hand-set weights the game has always played with.

#include "ai/level4_features.h"

namespace zubeki::level4 {

inline constexpr int kWeights[kFeatureCount] = {
    4,   // advance
    25,  // promoted
    6,   // mobility
    -20, // stuck
    30,  // in_camp
    6,   // camp_squared
    -90, // one_liberty
    -15, // two_liberties
    10,  // tempo
};

} // namespace zubeki::level4
