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

    // A code that is no piece has no limit but the empty square.
    if (!isPieceCode(移動駒種類)) return TRUE_CODE;
    // A promoted piece never stops inside its own corner.
    if (isPromoted(移動駒種類) &&
        (isUpperPiece(移動駒種類) ? inUeCamp(移動先X, 移動先Y) : inSitaCamp(移動先X, 移動先Y)))
        return FALSE_CODE;

    int distance = 0;
    const int d = directionBetween(移動元X, 移動元Y, 移動先X, 移動先Y, distance);
    if (d < 0) return FALSE_CODE;
    const PieceLines lines = 駒の動き(移動駒種類);
    for (int i = 0; i < lines.steps; ++i)
        if (lines.step[i] == d && distance == 1) return TRUE_CODE;
    for (int i = 0; i < lines.slides; ++i)
        if (lines.slide[i] == d)
            return d < ORTHOGONAL_DIRECTIONS ? 移動チェック飛車(移動元X, 移動元Y, 移動先X, 移動先Y)
                                             : 移動チェック角(移動元X, 移動元Y, 移動先X, 移動先Y);
    return FALSE_CODE;
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

int GameState::調査_駒成(int, int, int 移動先X, int 移動先Y, int 移動駒種類) const {
    // An unpromoted piece may promote on arriving in its enemy's corner.
    if ((移動駒種類 == SITA_BISHOP || 移動駒種類 == SITA_ROOK) && inUeCamp(移動先X, 移動先Y))
        return TRUE_CODE;
    if ((移動駒種類 == UE_BISHOP || 移動駒種類 == UE_ROOK) && inSitaCamp(移動先X, 移動先Y))
        return TRUE_CODE;
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

int GameState::手番側() const {
    if (TURN == NO_SIDE) return 0;
    if (調査_駒手番(SITA_BISHOP) == TURN) return -1;
    if (調査_駒手番(UE_BISHOP) == TURN) return 1;
    return 0;
}

void GameState::手番設定(int side) {
    TURN = 調査_駒手番(sidePiece(side));
}

} // namespace zubeki
