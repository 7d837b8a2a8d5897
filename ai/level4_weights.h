#pragma once

// LEVEL4's evaluation weights, one a feature in the order of ai/level4_features.h, in the
// units of the score. Written by zubeki-tune (scripts/tune.sh regenerates it).
// Fitted to 991151 self-play positions.
// The side to move's chance of winning is 1 / (1 + exp(-0.00031242 score)).

#include "ai/level4_features.h"

namespace zubeki::level4 {

inline constexpr int kWeights[kFeatureCount] = {
    56,   // advance
    2377, // promoted
    -320, // mobility
    424,  // stuck
    486,  // in_camp
    -288, // camp_squared
    -479, // one_liberty
    198,  // two_liberties
    722,  // tempo
};

} // namespace zubeki::level4
