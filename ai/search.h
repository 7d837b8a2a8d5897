#pragma once

#include "ai/clock.h"
#include "ai/influence.h"
#include "game/position.h"

namespace zubeki {

// The move the computer settled on.
struct ComputerMove : Move {
    bool found = false;           // false when no upper piece had a legal move
    double BEST_SCORE = -99999;   // the evaluation of the chosen move
    int depth = 1;                // how many moves ahead the search looked
    unsigned long long nodes = 0; // positions it looked at (LEVEL4)
};

// Which upper-side move scores best at this level? Tries every legal move of every upper
// piece, sources and then destinations in x-then-y order, the promoting version too where
// promotion is allowed (taken only when strictly better); the first strictly best move wins.
// BOARD is restored exactly; the influence grids are left as the last trial's survey. The
// pass test is the caller's.
ComputerMove 最善手探索(Position& 局面, Influence& 勢力, int level, ClockDigit 時計 = ClockDigit{});

// The same search played for the lower side: the position is turned half a turn with every
// code negated, searched, and the answer turned back. 局面 itself is not touched; 勢力 is left
// holding a survey of the turned board.
ComputerMove 下手番探索(const Position& 局面, Influence& 勢力, int level,
                        ClockDigit 時計 = ClockDigit{});

// A move found on the turned board, as it stands on the real one (and the other way round).
ComputerMove 反転手(ComputerMove m);

} // namespace zubeki
