#include "ai/influence.h"

namespace zubeki {

void Influence::勢力確定上直進(const Position& 局面, int 駒種類, int 入力X, int 入力Y) {
    slide(局面, 駒種類, 入力X, 入力Y, 0, -1);
}

void Influence::勢力確定下直進(const Position& 局面, int 駒種類, int 入力X, int 入力Y) {
    slide(局面, 駒種類, 入力X, 入力Y, 0, 1);
}

void Influence::勢力確定右直進(const Position& 局面, int 駒種類, int 入力X, int 入力Y) {
    slide(局面, 駒種類, 入力X, 入力Y, 1, 0);
}

void Influence::勢力確定左直進(const Position& 局面, int 駒種類, int 入力X, int 入力Y) {
    slide(局面, 駒種類, 入力X, 入力Y, -1, 0);
}

void Influence::diagonals(const Position& s, int 駒種類, int x, int y) {
    // Up-left, up-right, down-left, down-right; slide() does nothing for a line that
    // starts off the board.
    slide(s, 駒種類, x, y, -1, -1);
    slide(s, 駒種類, x, y, 1, -1);
    slide(s, 駒種類, x, y, -1, 1);
    slide(s, 駒種類, x, y, 1, 1);
}

void Influence::勢力確定自角(const Position& 局面, int 入力X, int 入力Y) {
    // A promoted bishop's diagonals count as a plain bishop's.
    diagonals(局面, SITA_BISHOP, 入力X, 入力Y);
}

void Influence::勢力確定敵角(const Position& 局面, int 駒種類, int 入力X, int 入力Y) {
    diagonals(局面, 駒種類 < 0 ? -駒種類 : 駒種類, 入力X, 入力Y);
}

void Influence::勢力確定一歩(const Position& 局面, int 駒種類, int 入力X, int 入力Y) {
    if (onBoard(入力X, 入力Y)) reach(局面, 駒種類, 入力X, 入力Y);
}

void Influence::勢力調査(const Position& 局面) {
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) {
            SITA_INFLUENCE[x][y] = 0;
            UE_INFLUENCE[x][y] = 0;
            SITA_THREAT[x][y] = NO_THREAT;
        }
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y)
            if (局面.BOARD[x][y] != EMPTY) surveyPiece(局面, 局面.BOARD[x][y], x, y);
}

void Influence::surveyPiece(const Position& 局面, int code, int x, int y) {
    switch (code) {
    case SITA_BISHOP:
        勢力確定自角(局面, x, y);
        break;
    case SITA_BISHOP_PROMOTED:
        勢力確定一歩(局面, BISHOP_STEP, x, y - 1);
        勢力確定一歩(局面, BISHOP_STEP, x, y + 1);
        勢力確定一歩(局面, BISHOP_STEP, x - 1, y);
        勢力確定一歩(局面, BISHOP_STEP, x + 1, y);
        勢力確定自角(局面, x, y);
        break;
    case UE_BISHOP:
        勢力確定敵角(局面, code, x, y);
        break;
    case UE_BISHOP_PROMOTED:
        勢力確定一歩(局面, code, x, y - 1);
        勢力確定一歩(局面, code, x, y + 1);
        勢力確定一歩(局面, code, x - 1, y);
        勢力確定一歩(局面, code, x + 1, y);
        勢力確定敵角(局面, code, x, y);
        break;
    case SITA_ROOK:
    case UE_ROOK:
    case SITA_ROOK_PROMOTED:
    case UE_ROOK_PROMOTED:
        勢力確定下直進(局面, code, x, y);
        勢力確定上直進(局面, code, x, y);
        勢力確定右直進(局面, code, x, y);
        勢力確定左直進(局面, code, x, y);
        if (isPromoted(code)) {
            // A promoted rook also steps onto its four diagonal neighbours.
            勢力確定一歩(局面, code, x - 1, y - 1);
            勢力確定一歩(局面, code, x + 1, y - 1);
            勢力確定一歩(局面, code, x - 1, y + 1);
            勢力確定一歩(局面, code, x + 1, y + 1);
        }
        break;
    default:
        break; // not a piece
    }
}

} // namespace zubeki
