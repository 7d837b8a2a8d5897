#include "game/state.h"

namespace zubeki {

void GameState::初期化_チェック桝() {
    for (int x = 1; x <= BOARD_SIZE; ++x)
        for (int y = 1; y <= BOARD_SIZE; ++y) CHECK_SQUARES[x][y] = FALSE_CODE;
}

void GameState::調査_チェック桝(int IN_移動元X, int IN_移動元Y) {
    int candidate[10][10]{};
    CHECK_ACTIVE = FALSE_CODE;
    初期化_チェック桝();

    const int P = BOARD[IN_移動元X][IN_移動元Y];
    for (int x = IN_移動元X - 1; x <= IN_移動元X + 1; ++x) {
        for (int y = IN_移動元Y - 1; y <= IN_移動元Y + 1; ++y) {
            if (!onBoard(x, y)) continue;
            const int Q = BOARD[x][y];
            // Only unpromoted enemy pieces can be put in check.
            const bool qualifies = (isLowerPiece(P) && (Q == UE_ROOK || Q == UE_BISHOP)) ||
                                   (isUpperPiece(P) && (Q == SITA_ROOK || Q == SITA_BISHOP));
            if (!qualifies) continue;
            // Could P step onto Q's square if it were empty?
            BOARD[x][y] = EMPTY;
            const int reach = 移動チェック(IN_移動元X, IN_移動元Y, x, y, P);
            BOARD[x][y] = Q;
            if (reach == TRUE_CODE) candidate[x][y] = TRUE_CODE;
            // A piece that cannot move anywhere is not held to the check.
            if (candidate[x][y] == TRUE_CODE && 調査_移動先があるか(x, y) == FALSE_CODE)
                candidate[x][y] = FALSE_CODE;
        }
    }
    for (int x = IN_移動元X - 1; x <= IN_移動元X + 1; ++x)
        for (int y = IN_移動元Y - 1; y <= IN_移動元Y + 1; ++y)
            if (onBoard(x, y) && candidate[x][y] == TRUE_CODE) {
                CHECK_ACTIVE = TRUE_CODE;
                CHECK_SQUARES[x][y] = TRUE_CODE;
            }
}

int GameState::調査_移動先があるか(int 移動元X, int 移動元Y) const {
    const int piece = BOARD[移動元X][移動元Y];
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y)
            if (移動チェック(移動元X, 移動元Y, x, y, piece) == TRUE_CODE) return TRUE_CODE;
    return FALSE_CODE;
}

int GameState::調査_移動先有無(int IN_駒) const {
    const bool lower = IN_駒 <= SITA_BISHOP;
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) {
            const int c = BOARD[x][y];
            if (lower ? !isLowerPiece(c) : !isUpperPiece(c)) continue;
            if (調査_移動先があるか(x, y) == TRUE_CODE) return TRUE_CODE;
        }
    return FALSE_CODE;
}

int GameState::終了チェック(int IN_移動駒) const {
    if (IN_移動駒 <= SITA_BISHOP) {
        for (int x = 7; x <= 9; ++x)
            for (int y = 1; y <= 3; ++y)
                if (BOARD[x][y] > SITA_BISHOP) return FALSE_CODE;
    } else {
        for (int x = 1; x <= 3; ++x)
            for (int y = 7; y <= 9; ++y)
                if (BOARD[x][y] < UE_BISHOP) return FALSE_CODE;
    }
    return TRUE_CODE;
}

PassOutcome GameState::パス判定(int IN_駒) {
    if (調査_移動先有無(IN_駒) == TRUE_CODE) return PassOutcome::HasMove;
    PASS_COUNT += 1;
    return PASS_COUNT >= 2 ? PassOutcome::Draw : PassOutcome::Pass;
}

} // namespace zubeki
