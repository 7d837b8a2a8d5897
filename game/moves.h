#pragma once

#include "game/state.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The legal moves of a position, move strings, and perft: the rules asked as a whole.
namespace zubeki {

// Every square (x2, y2) for which 移動チェック(移動元X, 移動元Y, x2, y2, 移動駒種類) answers
// TRUE_CODE, found by walking the piece's lines instead of asking 81 times.
SquareSet legalDestinations(const GameState& 局面, int 移動元X, int 移動元Y, int 移動駒種類);

// Nine pieces a side with every destination, promoting and not, stay far below this.
inline constexpr int MAX_LEGAL_MOVES = 400;

struct LegalMoves {
    PlayedMove at[MAX_LEGAL_MOVES];
    int size = 0;

    void add(const PlayedMove& m) {
        if (size < MAX_LEGAL_MOVES) at[size++] = m;
    }
    const PlayedMove* begin() const { return at; }
    const PlayedMove* end() const { return at + size; }
};

// Every legal move of `side` (-1 lower, +1 upper) with the check restriction in force: sources
// and then destinations in x-then-y order, a move that may promote once unpromoted and then
// promoting. A side without a move gets the one pass.
void 合法手一覧(const GameState& 局面, int side, LegalMoves& out);

// A text quoted back in a message, cut short so that a long line does not make a longer one.
std::string quoted(std::string_view text);

// A square as the position notation writes it: the file label (10 - x), then the rank letter
// a..i (y 1..9). x 1, y 7 is "9g".
std::string squareText(int x, int y);
// "9g9f", "3c1a+" (promoting) or "pass".
std::string 指し手文字列(const PlayedMove& m);
// The legal move of `side` the text names, or nullopt with the reason in `why`.
std::optional<PlayedMove> 指し手解釈(const GameState& 局面, int side, std::string_view text,
                                     std::string& why);

// The position reached by a move of `side`, and whether the game goes on after it. A pass is
// counted; a second pass in a row ends the game drawn.
struct AfterMove {
    GameState state;
    bool ended = false;
};
AfterMove 指し手後(const GameState& 局面, int side, const PlayedMove& m);

// The number of move sequences of exactly `depth` moves from the position, `side` to move:
// every legal move, both promotion choices apart, or the one pass of a side without a move; a
// game that has ended (capture, camp, a second pass in a row) has no moves after it.
std::uint64_t perft(const GameState& 局面, int side, int depth);

} // namespace zubeki
