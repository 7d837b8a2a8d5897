#include "game/state.h"

namespace zubeki {

int GameState::移動チェック(int 移動元X, int 移動元Y, int 移動先X, int 移動先Y,
                            int 移動駒種類) const {
    if (移動先X < 1 || 移動先X > 9 || 移動先Y < 1 || 移動先Y > 9) return FALSE_CODE;
    if (移動先X == 移動元X && 移動先Y == 移動元Y) return FALSE_CODE;
    // While pieces are in check only they may move.
    if (CHECK_ACTIVE == TRUE_CODE && CHECK_SQUARES[移動元X][移動元Y] == FALSE_CODE)
        return FALSE_CODE;
    if (BOARD[移動先X][移動先Y] != EMPTY) return FALSE_CODE;

    const int dx = 移動先X - 移動元X;
    const int dy = 移動先Y - 移動元Y;
    const bool oneStep = dx > -2 && dx < 2 && dy > -2 && dy < 2;

    switch (移動駒種類) {
    case UE_BISHOP:
        if (dx > 0 && dy < 0) return FALSE_CODE;
        return 移動チェック角(移動元X, 移動元Y, 移動先X, 移動先Y);
    case UE_BISHOP_PROMOTED:
        if (inUeCamp(移動先X, 移動先Y)) return FALSE_CODE;
        return oneStep ? TRUE_CODE : 移動チェック角(移動元X, 移動元Y, 移動先X, 移動先Y);
    case UE_ROOK:
        if (dx > 0 || dy < 0) return FALSE_CODE;
        return 移動チェック飛車(移動元X, 移動元Y, 移動先X, 移動先Y);
    case UE_ROOK_PROMOTED:
        if (inUeCamp(移動先X, 移動先Y)) return FALSE_CODE;
        return oneStep ? TRUE_CODE : 移動チェック飛車(移動元X, 移動元Y, 移動先X, 移動先Y);
    case SITA_BISHOP:
        if (dx < 0 && dy > 0) return FALSE_CODE;
        return 移動チェック角(移動元X, 移動元Y, 移動先X, 移動先Y);
    case SITA_BISHOP_PROMOTED:
        if (inSitaCamp(移動先X, 移動先Y)) return FALSE_CODE;
        return oneStep ? TRUE_CODE : 移動チェック角(移動元X, 移動元Y, 移動先X, 移動先Y);
    case SITA_ROOK:
        if (dx < 0 || dy > 0) return FALSE_CODE;
        return 移動チェック飛車(移動元X, 移動元Y, 移動先X, 移動先Y);
    case SITA_ROOK_PROMOTED:
        if (inSitaCamp(移動先X, 移動先Y)) return FALSE_CODE;
        return oneStep ? TRUE_CODE : 移動チェック飛車(移動元X, 移動元Y, 移動先X, 移動先Y);
    default:
        return TRUE_CODE;
    }
}

int GameState::移動チェック飛車(int 移動元X, int 移動元Y, int 移動先X, int 移動先Y) const {
    if (移動先X != 移動元X && 移動先Y != 移動元Y) return FALSE_CODE;
    if (移動先Y != 移動元Y) {
        const int step = 移動先Y > 移動元Y ? 1 : -1;
        for (int y = 移動元Y + step; y != 移動先Y; y += step)
            if (BOARD[移動先X][y] != EMPTY) return FALSE_CODE;
    }
    if (移動先X != 移動元X) {
        const int step = 移動先X > 移動元X ? 1 : -1;
        for (int x = 移動元X + step; x != 移動先X; x += step)
            if (BOARD[x][移動先Y] != EMPTY) return FALSE_CODE;
    }
    return TRUE_CODE;
}

int GameState::移動チェック角(int 移動元X, int 移動元Y, int 移動先X, int 移動先Y) const {
    const bool falling = 移動先X - 移動先Y == 移動元X - 移動元Y;
    const bool rising = 移動先X + 移動先Y == 移動元X + 移動元Y;
    if (!falling && !rising) return FALSE_CODE;
    if (移動先X == 移動元X) return TRUE_CODE; // same square: nothing lies between
    // On a rising diagonal (x + y constant) the piece goes up-right or down-left,
    // on a falling one (x - y constant) up-left or down-right.
    const int stepX = rising ? (移動元Y > 移動先Y ? 1 : -1) : (移動元Y > 移動先Y ? -1 : 1);
    const int stepY = 移動元Y > 移動先Y ? -1 : 1;
    for (int x = 移動元X + stepX, y = 移動元Y + stepY; x != 移動先X; x += stepX, y += stepY)
        if (BOARD[x][y] != EMPTY) return FALSE_CODE;
    return TRUE_CODE;
}

int GameState::調査_駒成(int, int, int 移動先X, int 移動先Y, int 移動駒種類) {
    if ((移動駒種類 == SITA_BISHOP || 移動駒種類 == SITA_ROOK) && inUeCamp(移動先X, 移動先Y)) {
        PROMOTED_PIECE = 移動駒種類 - 1;
        return TRUE_CODE;
    }
    if ((移動駒種類 == UE_BISHOP || 移動駒種類 == UE_ROOK) && inSitaCamp(移動先X, 移動先Y)) {
        PROMOTED_PIECE = 移動駒種類 + 1;
        return TRUE_CODE;
    }
    return FALSE_CODE;
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

} // namespace zubeki
