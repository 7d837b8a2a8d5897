#pragma once

#include "game/codes.h"

#include <bit>
#include <cstdint>
#include <optional>

// Squares, sets and lists of squares, moves and what a move did: the small values the rule
// routines hand back. Nothing here allocates.
namespace zubeki {

// The two sides: the lower (下手, the first player, starting bottom left) and the upper (上手,
// starting top right). The value is the sign the side's piece codes carry.
enum class Side : signed char { Lower = -1, Upper = 1 };

constexpr Side opposite(Side s) {
    return s == Side::Lower ? Side::Upper : Side::Lower;
}
// -1 for the lower side, +1 for the upper.
constexpr int sign(Side s) {
    return static_cast<int>(s);
}
constexpr Side sideOfSign(int s) {
    return s > 0 ? Side::Upper : Side::Lower;
}
// The side a piece code belongs to, whoever plays it; nullopt for anything else.
constexpr std::optional<Side> ownerOf(int code) {
    if (isUpperPiece(code)) return Side::Upper;
    if (isLowerPiece(code)) return Side::Lower;
    return std::nullopt;
}

struct Square {
    int x = 0;
    int y = 0;
    friend bool operator==(const Square&, const Square&) = default;
};

// A fixed list of squares: a move never marks more than 8 check squares or removes more than
// the 81 squares of the board, so playing a move never allocates.
struct SquareList {
    Square at[81];
    int size = 0;

    void add(int x, int y) {
        if (size < 81) at[size++] = Square{x, y};
    }
    const Square* begin() const { return at; }
    const Square* end() const { return at + size; }
};

// A set of board squares, one bit per square in x-then-y order (bit (x-1)*9 + (y-1)),
// so walking the bits upwards visits squares in the same order as a loop with x outer.
struct SquareSet {
    std::uint64_t lo = 0; // squares 0..63
    std::uint64_t hi = 0; // squares 64..80

    void add(int x, int y) {
        const int i = (x - 1) * 9 + (y - 1);
        if (i < 64)
            lo |= std::uint64_t{1} << i;
        else
            hi |= std::uint64_t{1} << (i - 64);
    }
    bool contains(int x, int y) const {
        const int i = (x - 1) * 9 + (y - 1);
        return i < 64 ? (lo >> i & 1u) != 0 : (hi >> (i - 64) & 1u) != 0;
    }
    bool empty() const { return (lo | hi) == 0; }
    int size() const { return std::popcount(lo) + std::popcount(hi); }

    // Calls f(x, y) for every square in x-then-y order.
    template <class F> void forEach(F&& f) const {
        for (std::uint64_t bits = lo; bits != 0; bits &= bits - 1) {
            const int i = std::countr_zero(bits);
            f(i / 9 + 1, i % 9 + 1);
        }
        for (std::uint64_t bits = hi; bits != 0; bits &= bits - 1) {
            const int i = 64 + std::countr_zero(bits);
            f(i / 9 + 1, i % 9 + 1);
        }
    }
};

// How a move ended the game: a group surrounded, the enemy's camp filled, or a second pass in
// a row (a draw).
enum class GameEnd { None, Capture, Camp, Draw };

// What one move did.
struct MoveOutcome {
    SquareList check;     // CHECK_SQUARES after the move, x outer, then y
    SquareList captured;  // squares the capture loop emptied, in the order it emptied them
    int groups = 0;       // how many groups those squares were
    int groupEnd[4] = {}; // where each group's squares end in `captured`
    GameEnd end = GameEnd::None;
};

// A move (指し手): source, destination, the piece's code on its source and the code it arrives
// with (promoted or not). A side without a move plays the pass, a move of zeros.
struct Move {
    int 移動元X = 0, 移動元Y = 0, 移動先X = 0, 移動先Y = 0;
    int 移動前駒 = EMPTY;
    int 移動駒 = EMPTY;

    bool pass() const { return 移動前駒 == EMPTY; }
    bool promotes() const { return 移動駒 != 移動前駒; }
    // The side whose piece moves (not for the pass).
    Side side() const { return sideOfSign(移動前駒); }
    Square from() const { return {移動元X, 移動元Y}; }
    Square to() const { return {移動先X, 移動先Y}; }
    friend bool operator==(const Move&, const Move&) = default;
};

} // namespace zubeki
