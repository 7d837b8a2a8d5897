#pragma once

#include "game/position.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The rules asked of a GameState with the side to move given apart: each answered by Position.
namespace zubeki {

// Every square (x2, y2) for which 移動チェック(移動元X, 移動元Y, x2, y2, 移動駒種類) answers true.
inline SquareSet legalDestinations(const Position& 局面, int 移動元X, int 移動元Y, int 移動駒種類) {
    return 局面.destinations(移動元X, 移動元Y, 移動駒種類);
}

// The position with `side` (-1 lower, +1 upper) to move.
inline Position withSide(const Position& 局面, int side) {
    Position p = 局面;
    p.SIDE = sideOfSign(side);
    return p;
}

// Every legal move of `side` (-1 lower, +1 upper): Position::legalMoves with that side to move.
inline void 合法手一覧(const Position& 局面, int side, LegalMoves& out) {
    if (side == 0) {
        out.size = 0;
        out.add(Move{});
        return;
    }
    withSide(局面, side).legalMoves(out);
}

// The legal move of `side` the text names, or nullopt with the reason in `why`.
inline std::optional<Move> 指し手解釈(const Position& 局面, int side, std::string_view text,
                                      std::string& why) {
    return withSide(局面, side).moveFromText(text, why);
}

// The position reached by a move of `side`, and whether the game goes on after it. A pass is
// counted; a second pass in a row ends the game drawn.
struct AfterMove {
    Position state;
    bool ended = false;
};
AfterMove 指し手後(const Position& 局面, int side, const Move& m);

inline std::uint64_t perft(const Position& 局面, int side, int depth) {
    return perft(withSide(局面, side), depth);
}

} // namespace zubeki
