#pragma once

#include "game/squares.h"

namespace zubeki {

// The in-memory list of the moves of the game; move n is entry n, entry 0 is never written.
struct MoveList {
    static constexpr int CAPACITY = 500;

    int REC_FROM_X[CAPACITY + 1]{};
    int REC_FROM_Y[CAPACITY + 1]{};
    int REC_TO_X[CAPACITY + 1]{};
    int REC_TO_Y[CAPACITY + 1]{};
    int REC_RESULT[CAPACITY + 1]{};
    int REC_PIECE[CAPACITY + 1]{};
    int REC_TARGET[CAPACITY + 1]{};
    int RECORD_POS = 0;
    int RECORD_LEN = 0;
    int RECORD_MODE = 0; // FALSE_CODE

    // Appends a move after the current position (discarding any moves beyond it).
    // 移動先内容 is what stands on the destination before the move. Answers false, and
    // records nothing, when the list already holds its 500 moves.
    bool 手順保存(int 移動元X, int 移動元Y, int 移動先X, int 移動先Y, int 移動元駒, int 移動先駒,
                  int 移動先内容);

    bool full() const { return RECORD_POS >= CAPACITY; }
    // Move n (1..RECORD_LEN) as the game's move.
    Move move(int n) const {
        return {REC_FROM_X[n], REC_FROM_Y[n], REC_TO_X[n],
                REC_TO_Y[n],   REC_PIECE[n],  REC_RESULT[n]};
    }
    // Empties the list (a new game or a turned board).
    void clear() { RECORD_POS = RECORD_LEN = 0; }
};

} // namespace zubeki
