#include "game/state.h"

namespace zubeki {

bool GameState::移動チェック飛車(int 移動元X, int 移動元Y, int 移動先X, int 移動先Y) const {
    if (移動先X != 移動元X && 移動先Y != 移動元Y) return false;
    if (移動先Y != 移動元Y) {
        const int step = 移動先Y > 移動元Y ? 1 : -1;
        for (int y = 移動元Y + step; y != 移動先Y; y += step)
            if (BOARD[移動先X][y] != EMPTY) return false;
    }
    if (移動先X != 移動元X) {
        const int step = 移動先X > 移動元X ? 1 : -1;
        for (int x = 移動元X + step; x != 移動先X; x += step)
            if (BOARD[x][移動先Y] != EMPTY) return false;
    }
    return true;
}

bool GameState::移動チェック角(int 移動元X, int 移動元Y, int 移動先X, int 移動先Y) const {
    const bool falling = 移動先X - 移動先Y == 移動元X - 移動元Y;
    const bool rising = 移動先X + 移動先Y == 移動元X + 移動元Y;
    if (!falling && !rising) return false;
    if (移動先X == 移動元X) return true; // same square: nothing lies between
    // On a rising diagonal (x + y constant) the piece goes up-right or down-left,
    // on a falling one (x - y constant) up-left or down-right.
    const int stepX = rising ? (移動元Y > 移動先Y ? 1 : -1) : (移動元Y > 移動先Y ? -1 : 1);
    const int stepY = 移動元Y > 移動先Y ? -1 : 1;
    for (int x = 移動元X + stepX, y = 移動元Y + stepY; x != 移動先X; x += stepX, y += stepY)
        if (BOARD[x][y] != EMPTY) return false;
    return true;
}

int GameState::調査_駒手番(int IN_駒種類) const {
    const bool lower = IN_駒種類 == SITA_BISHOP || IN_駒種類 == SITA_BISHOP_PROMOTED ||
                       IN_駒種類 == SITA_ROOK || IN_駒種類 == SITA_ROOK_PROMOTED;
    const bool upper = IN_駒種類 == UE_BISHOP || IN_駒種類 == UE_BISHOP_PROMOTED ||
                       IN_駒種類 == UE_ROOK || IN_駒種類 == UE_ROOK_PROMOTED;
    if (lower) {
        if (PLAY_MODE == MODE_COM) {
            if (COM_SIDE == SIDE_SENTE) return SIDE_GOTE;
            if (MAN_SIDE == SIDE_SENTE) return SIDE_SENTE;
            return EMPTY;
        }
        if (PLAY_MODE == MODE_MAN) return SIDE_SENTE;
    } else if (upper) {
        if (PLAY_MODE == MODE_COM) {
            if (COM_SIDE == SIDE_SENTE) return SIDE_SENTE;
            if (MAN_SIDE == SIDE_SENTE) return SIDE_GOTE;
            return EMPTY;
        }
        if (PLAY_MODE == MODE_MAN) return SIDE_GOTE;
    }
    return EMPTY;
}

int GameState::手番側() const {
    if (TURN == NO_SIDE) return 0;
    if (調査_駒手番(SITA_BISHOP) == TURN) return -1;
    if (調査_駒手番(UE_BISHOP) == TURN) return 1;
    return 0;
}

void GameState::手番設定(int side) {
    TURN = 調査_駒手番(sidePiece(side));
    SIDE = sideOfSign(side);
}

} // namespace zubeki
