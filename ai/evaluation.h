#pragma once

#include "ai/clock.h"
#include "ai/influence.h"
#include "game/position.h"

namespace zubeki {

// Everything the evaluation reads besides the candidate move: the board after the move,
// the survey of that board, the computer's level, the mover's code before the move
// (TRIAL_PIECE) and the clock.
struct EvalContext {
    const Position& state;
    const Influence& influence;
    int LEVEL = 3;
    int TRIAL_PIECE = EMPTY;
    ClockDigit clock{};
};

// How good is the position after the upper piece 移動駒 went from the source to the
// destination? Higher is better for the computer. 取得駒 is accepted and not used.
double 盤評価(const EvalContext& 文脈, int 取得駒, int 移動駒, int 移動元X, int 移動元Y,
              int 移動先X, int 移動先Y);

// How many upper pieces stand on the up to eight neighbours of the square (as a negative)?
int 調査_周辺状況(const Position& 局面, int 移動先X, int 移動先Y);

// How many legal destinations of 移動駒 on the square are reached by no enemy piece?
int 調査_移動可場所数(const Position& 局面, const Influence& 勢力, int 移動元X, int 移動元Y,
                      int 移動駒);

} // namespace zubeki
