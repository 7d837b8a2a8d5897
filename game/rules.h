#pragma once

#include "game/codes.h"

// How the pieces move, once for every part of the program that asks: the eight directions,
// which of them each piece slides or steps along, and what a piece becomes when it promotes.
namespace zubeki {

struct Direction {
    int dx = 0;
    int dy = 0;
};

// Left, right, up, down, up-left, up-right, down-left, down-right (y grows downwards).
inline constexpr Direction DIRECTIONS[8] = {{-1, 0},  {1, 0},  {0, -1}, {0, 1},
                                            {-1, -1}, {1, -1}, {-1, 1}, {1, 1}};
inline constexpr int ORTHOGONAL_DIRECTIONS = 4; // the first four

// The directions (indices into DIRECTIONS) a piece slides along any distance, and those it
// steps along one square only. An unpromoted piece never moves back towards its own corner:
// the upper rook only left and down, the upper bishop never up-right, the lower pieces
// mirrored. A promoted piece slides as before in every direction of its kind and steps one
// square in the others.
struct PieceLines {
    int slide[4] = {};
    int slides = 0;
    int step[4] = {};
    int steps = 0;
};

constexpr PieceLines 駒の動き(int 駒) {
    switch (駒) {
    case UE_BISHOP:
        return {{4, 6, 7}, 3, {}, 0};
    case SITA_BISHOP:
        return {{4, 5, 7}, 3, {}, 0};
    case UE_ROOK:
        return {{0, 3}, 2, {}, 0};
    case SITA_ROOK:
        return {{1, 2}, 2, {}, 0};
    case UE_BISHOP_PROMOTED:
    case SITA_BISHOP_PROMOTED:
        return {{4, 5, 6, 7}, 4, {0, 1, 2, 3}, 4};
    case UE_ROOK_PROMOTED:
    case SITA_ROOK_PROMOTED:
        return {{0, 1, 2, 3}, 4, {4, 5, 6, 7}, 4};
    default:
        return {};
    }
}

// The code an unpromoted piece stands with once promoted (the upper side's codes go up by
// one, the lower side's down by one); any other code stays as it is.
constexpr int 成駒(int 駒) {
    switch (駒) {
    case UE_BISHOP:
    case UE_ROOK:
        return 駒 + 1;
    case SITA_BISHOP:
    case SITA_ROOK:
        return 駒 - 1;
    default:
        return 駒;
    }
}

// The direction from one square to another along a line, or -1 when they share none (or are
// the same square); `distance` is the number of steps.
constexpr int directionBetween(int fromX, int fromY, int toX, int toY, int& distance) {
    const int dx = toX - fromX;
    const int dy = toY - fromY;
    const int ax = dx < 0 ? -dx : dx;
    const int ay = dy < 0 ? -dy : dy;
    if ((dx == 0 && dy == 0) || (dx != 0 && dy != 0 && ax != ay)) return -1;
    distance = ax > ay ? ax : ay;
    const int sx = dx > 0 ? 1 : dx < 0 ? -1 : 0;
    const int sy = dy > 0 ? 1 : dy < 0 ? -1 : 0;
    for (int d = 0; d < 8; ++d)
        if (DIRECTIONS[d].dx == sx && DIRECTIONS[d].dy == sy) return d;
    return -1;
}

// +1 for an upper-side code, -1 for a lower-side code, 0 for anything else.
constexpr int sideOf(int code) {
    return isUpperPiece(code) ? 1 : isLowerPiece(code) ? -1 : 0;
}

// A piece of each side, for the rule routines that take "a code of that side".
constexpr int sidePiece(int side) {
    return side > 0 ? UE_BISHOP : SITA_BISHOP;
}

} // namespace zubeki
