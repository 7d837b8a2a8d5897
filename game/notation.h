#pragma once

#include "game/codes.h"

#include <string>
#include <string_view>

// How a move is written beside the board and in the game's boxes: the column as a full-width
// digit counted from the right, the row as a kanji numeral, then the piece ("１六飛").
namespace zubeki {

// The text of one notation glyph code, UTF-8: 1..9 full-width digits, 1001..1009 the kanji
// numerals 一..九, a piece code its name ("角", "角成", "飛", "飛成"); empty for anything else.
constexpr std::string_view notationGlyph(int code) {
    constexpr std::string_view digits[] = {"１", "２", "３", "４", "５", "６", "７", "８", "９"};
    constexpr std::string_view numerals[] = {"一", "二", "三", "四", "五", "六", "七", "八", "九"};
    if (code >= 1 && code <= 9) return digits[code - 1];
    if (code >= 1001 && code <= 1009) return numerals[code - 1001];
    switch (code) {
    case UE_BISHOP:
    case SITA_BISHOP:
        return "角";
    case UE_BISHOP_PROMOTED:
    case SITA_BISHOP_PROMOTED:
        return "角成";
    case UE_ROOK:
    case SITA_ROOK:
        return "飛";
    case UE_ROOK_PROMOTED:
    case SITA_ROOK_PROMOTED:
        return "飛成";
    default:
        return {};
    }
}

// A square as the board writes it: the column as a full-width digit counted from the right,
// then the row as a kanji numeral ("７七").
inline std::string squareNotation(int x, int y) {
    std::string text(notationGlyph(10 - x));
    text += notationGlyph(1000 + y);
    return text;
}

// A move to square (x, y) arriving as `piece`, as the move list beside the board writes it.
inline std::string 指し手表記(int x, int y, int piece) {
    return squareNotation(x, y) + std::string(notationGlyph(piece));
}

} // namespace zubeki
