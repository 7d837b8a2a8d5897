#pragma once

#include "game/state.h"

#include <bit>
#include <cstdint>

namespace zubeki {

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

// Every square (x2, y2) for which 移動チェック(移動元X, 移動元Y, x2, y2, 移動駒種類) answers
// TRUE_CODE, found by walking the piece's lines instead of asking 81 times.
SquareSet legalDestinations(const GameState& 局面, int 移動元X, int 移動元Y, int 移動駒種類);

} // namespace zubeki
