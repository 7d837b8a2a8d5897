#include "game/state.h"

namespace zubeki {

void GameState::初期設定() {
    SELECT_STATE = 0;
    REVERSED = FALSE_CODE;
    TURN = NO_SIDE;
    CAPTURE_DONE = NO_SIDE;
    // A new game never starts under a check left by the last move of the old one.
    static_cast<Position&>(*this) = Position::start();
}

GameState 反転局面(const GameState& 局面) {
    GameState turned = 局面;
    static_cast<Position&>(turned) = 反転(局面);
    return turned;
}

} // namespace zubeki
