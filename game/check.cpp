#include "game/state.h"

namespace zubeki {

void GameState::初期化_チェック桝() {
    for (int x = 1; x <= BOARD_SIZE; ++x)
        for (int y = 1; y <= BOARD_SIZE; ++y) CHECK_SQUARES[x][y] = FALSE_CODE;
}

PassOutcome GameState::パス判定(int IN_駒) {
    if (調査_移動先有無(IN_駒)) return PassOutcome::HasMove;
    PASS_COUNT += 1;
    return PASS_COUNT >= 2 ? PassOutcome::Draw : PassOutcome::Pass;
}

} // namespace zubeki
