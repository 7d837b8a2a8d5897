#pragma once

// The game's codes: square contents, sides and modes.
namespace zubeki {

inline constexpr int TRUE_CODE = 1;
inline constexpr int FALSE_CODE = 0;
inline constexpr int EMPTY = 0;
inline constexpr int BOARD_SIZE = 9;

inline constexpr int NO_SIDE = -1;
inline constexpr int SIDE_SENTE = 6;
inline constexpr int SIDE_GOTE = -6;

inline constexpr int MODE_MAN = 0;
inline constexpr int MODE_COM = 1;

inline constexpr int UE_BISHOP = 800;
inline constexpr int UE_BISHOP_PROMOTED = 801;
inline constexpr int UE_ROOK = 900;
inline constexpr int UE_ROOK_PROMOTED = 901;
inline constexpr int SITA_BISHOP = -800;
inline constexpr int SITA_BISHOP_PROMOTED = -801;
inline constexpr int SITA_ROOK = -900;
inline constexpr int SITA_ROOK_PROMOTED = -901;

// Any code of 800 and above is an upper-side piece, -800 and below a lower-side one.
constexpr bool isUpperPiece(int code) {
    return code >= UE_BISHOP;
}
constexpr bool isLowerPiece(int code) {
    return code <= SITA_BISHOP;
}

// Exactly one of the eight codes that can stand on a square.
constexpr bool isPieceCode(int code) {
    switch (code) {
    case UE_BISHOP:
    case UE_BISHOP_PROMOTED:
    case UE_ROOK:
    case UE_ROOK_PROMOTED:
    case SITA_BISHOP:
    case SITA_BISHOP_PROMOTED:
    case SITA_ROOK:
    case SITA_ROOK_PROMOTED:
        return true;
    default:
        return false;
    }
}

constexpr bool isPromoted(int code) {
    return code == UE_BISHOP_PROMOTED || code == UE_ROOK_PROMOTED || code == SITA_BISHOP_PROMOTED ||
           code == SITA_ROOK_PROMOTED;
}

// The two starting corners; the tests are strict.
constexpr bool inUeCamp(int x, int y) {
    return x > 6 && y < 4;
}
constexpr bool inSitaCamp(int x, int y) {
    return x < 4 && y > 6;
}

constexpr bool onBoard(int x, int y) {
    return x >= 1 && x <= BOARD_SIZE && y >= 1 && y <= BOARD_SIZE;
}

} // namespace zubeki
