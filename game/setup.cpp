#include "game/state.h"

namespace zubeki {

void GameState::初期設定() {
    SELECT_STATE = 0;
    MOVE_COUNT = 0;
    REVERSED = FALSE_CODE;
    PASS_COUNT = 0;
    TURN = NO_SIDE;
    CAPTURE_DONE = NO_SIDE;

    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) BOARD[x][y] = EMPTY;

    // Each block is a checkerboard with rooks on the corners and the centre.
    BOARD[7][1] = BOARD[9][1] = BOARD[8][2] = BOARD[7][3] = BOARD[9][3] = UE_ROOK;
    BOARD[8][1] = BOARD[7][2] = BOARD[9][2] = BOARD[8][3] = UE_BISHOP;
    BOARD[1][7] = BOARD[3][7] = BOARD[2][8] = BOARD[1][9] = BOARD[3][9] = SITA_ROOK;
    BOARD[2][7] = BOARD[1][8] = BOARD[3][8] = BOARD[2][9] = SITA_BISHOP;

    // A new game never starts under a check left by the last move of the old one.
    CHECK_ACTIVE = FALSE_CODE;
    初期化_チェック桝();
}

GameState 反転局面(const GameState& 局面) {
    GameState turned = 局面;
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) {
            turned.BOARD[x][y] = -局面.BOARD[10 - x][10 - y];
            turned.CHECK_SQUARES[x][y] = 局面.CHECK_SQUARES[10 - x][10 - y];
        }
    return turned;
}

} // namespace zubeki
