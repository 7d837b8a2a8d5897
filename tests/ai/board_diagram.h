#pragma once

#include "game/state.h"

#include <stdexcept>
#include <string>

namespace zubeki::test {

// A position drawn as the board is seen on screen: nine rows from the top (y = 1) down,
// nine squares each from the left (x = 1); spaces are ignored. Upper (computer) pieces
// are capitals, lower (human) pieces small letters:
//   B bishop, H promoted bishop, R rook, D promoted rook, . empty.
inline int codeOf(char c) {
    switch (c) {
    case '.':
        return EMPTY;
    case 'B':
        return UE_BISHOP;
    case 'H':
        return UE_BISHOP_PROMOTED;
    case 'R':
        return UE_ROOK;
    case 'D':
        return UE_ROOK_PROMOTED;
    case 'b':
        return SITA_BISHOP;
    case 'h':
        return SITA_BISHOP_PROMOTED;
    case 'r':
        return SITA_ROOK;
    case 'd':
        return SITA_ROOK_PROMOTED;
    default:
        throw std::invalid_argument(std::string("unknown square '") + c + "'");
    }
}

// A game against the computer with the human first, on the drawn board and without check.
inline GameState positionOf(const char* rows) {
    GameState s;
    s.PLAY_MODE = MODE_COM;
    s.MAN_SIDE = SIDE_SENTE;
    s.COM_SIDE = SIDE_GOTE;
    s.TURN = SIDE_GOTE;
    int n = 0;
    for (const char* p = rows; *p; ++p) {
        if (*p == ' ' || *p == '\n') continue;
        if (n >= 81) throw std::invalid_argument("more than 81 squares");
        s.BOARD[n % 9 + 1][n / 9 + 1] = codeOf(*p);
        ++n;
    }
    if (n != 81) throw std::invalid_argument("fewer than 81 squares");
    return s;
}

// The upper rook on (9,1) and bishop on (8,1), shut in by lower pieces: the upper side has no
// move and must pass.
inline constexpr const char* kUpperShutIn = "......rBR"
                                            "......b.b"
                                            "........."
                                            "........."
                                            "........."
                                            "........."
                                            "........."
                                            "........."
                                            ".........";

// The lower bishops on (1,1) and (9,9) can neither move nor be saved both: the upper bishop on
// (4,5) reaches (1,2) and the upper rook on (9,5) reaches (9,8). The lower side, to move,
// loses in two (unless the winning move would be the 501st of the game); the upper side, to
// move, wins in one.
inline constexpr const char* kLostInTwo = "bR......."
                                          ".B......."
                                          "........."
                                          "........."
                                          "...B....R"
                                          "........."
                                          "........."
                                          ".......B."
                                          "....r..Rb";

// Eight lower pieces in the upper side's camp with (9,3) empty; the lower rook on (9,5) can
// slide up and fill it, and an upper bishop waits on (1,9).
inline constexpr const char* kLowerCampOneShort = "......rbr"
                                                  "......brb"
                                                  "......rb."
                                                  "........."
                                                  "........r"
                                                  "........."
                                                  "........."
                                                  "........."
                                                  "B........";

// An upper bishop in the centre and an upper rook on (9,9), the rook under the human's check:
// only the rook may move, though the bishop has far better moves.
inline GameState checkedRookAndFreeBishop() {
    GameState s = positionOf("........."
                             "........."
                             "........."
                             "........."
                             "....B...."
                             "........."
                             "........."
                             "........."
                             "........R");
    s.CHECK_ACTIVE = TRUE_CODE;
    s.CHECK_SQUARES[9][9] = TRUE_CODE;
    return s;
}

} // namespace zubeki::test
