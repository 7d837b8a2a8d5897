#include "play/game.h"

namespace zubeki {

// --- the hint ---

void Game::ヒント() {
    if (session_.TURN == NO_SIDE) {
        out_.soundDue(Wave::Forbidden);
        out_.ask({Say::StartFirst});
        return;
    }
    clearHint();
    const ComputerMove m = thinkKeepingAlive(sideOfSign(session_.side()), LEVEL_MAX);
    if (out_.ended()) return;
    if (!m.found) {
        out_.ask({Say::NoMoveToHint});
        return;
    }
    hint_[0] = {m.移動元X, m.移動元Y};
    hint_[1] = {m.移動先X, m.移動先Y};
    // Drawn after the check outlines, so the hint shows over them.
    out_.hintOutlined(hint_[0], hint_[1]);
    const int piece = s_.BOARD[m.移動元X][m.移動元Y];
    out_.showHint({m.移動元X, m.移動元Y, m.移動先X, m.移動先Y, piece, m.移動駒});
}

void Game::clearHint() {
    if (hint_[0].x == 0) return;
    out_.hintCleared(hint_[0], hint_[1]);
    hint_[0] = hint_[1] = {};
}

} // namespace zubeki
