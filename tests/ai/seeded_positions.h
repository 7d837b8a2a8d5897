#pragma once

// Mid-game positions from seeded random games, for the search tests and the benchmark.
// Only std::mt19937 and our own mapping to an index are used, so every platform plays
// the same games.

#include "game/state.h"

#include <cstdint>
#include <random>
#include <vector>

namespace zubeki::test {

// A uniform index in [0, n) from one draw of the generator.
inline int pick(std::mt19937& rng, int n) {
    return static_cast<int>((static_cast<std::uint64_t>(rng()) * static_cast<std::uint64_t>(n)) >>
                            32);
}

// Plays one random legal move for the side whose pieces have the sign of `side`
// (-1 lower, +1 upper), with promotion on a coin toss, the check survey and captures.
// Answers false when that side had to pass.
inline bool playRandomMove(GameState& s, std::mt19937& rng, int side) {
    struct Move {
        int fx, fy, tx, ty;
    };
    Move moves[9 * 81];
    int n = 0;
    for (int fx = 1; fx <= 9; ++fx)
        for (int fy = 1; fy <= 9; ++fy) {
            const int p = s.BOARD[fx][fy];
            if (side < 0 ? !isLowerPiece(p) : !isUpperPiece(p)) continue;
            for (int tx = 1; tx <= 9; ++tx)
                for (int ty = 1; ty <= 9; ++ty)
                    if (n < 9 * 81 && s.移動チェック(fx, fy, tx, ty, p) == TRUE_CODE)
                        moves[n++] = Move{fx, fy, tx, ty};
        }
    if (n == 0) return false;
    const Move m = moves[pick(rng, n)];
    int piece = s.BOARD[m.fx][m.fy];
    if (s.調査_駒成(m.fx, m.fy, m.tx, m.ty, piece) == TRUE_CODE && (rng() & 1u) != 0)
        piece = 成駒(piece);
    s.駒移動(m.fx, m.fy, m.tx, m.ty, piece);
    s.調査_チェック桝(m.tx, m.ty);
    const int mover = s.調査_駒手番(piece);
    const int other = mover == SIDE_SENTE ? SIDE_GOTE : SIDE_SENTE;
    s.捕獲ループ(m.tx, m.ty, mover, other, [&s] { s.当駒除去(); });
    return true;
}

// A game against the computer, human (lower side) first, after `plies` random plies; the
// computer is to move when `plies` is odd. Answers false when the game ended on the way
// (a capture, a filled camp or two passes).
inline bool playRandomGame(GameState& s, std::mt19937& rng, int plies) {
    s.初期設定();
    s.PLAY_MODE = MODE_COM;
    s.MAN_SIDE = SIDE_SENTE;
    s.COM_SIDE = SIDE_GOTE;
    int passes = 0;
    for (int ply = 0; ply < plies; ++ply) {
        const int side = ply % 2 == 0 ? -1 : 1;
        if (!playRandomMove(s, rng, side)) {
            if (++passes >= 2) return false;
            continue;
        }
        passes = 0;
        if (s.CAPTURE_DONE == TRUE_CODE) return false;
        if (s.終了チェック(SITA_BISHOP) == TRUE_CODE || s.終了チェック(UE_BISHOP) == TRUE_CODE)
            return false;
    }
    s.TURN = s.COM_SIDE;
    return true;
}

// `count` positions with the computer to move after 11 to 29 plies, from seeds 1, 2, ...;
// seeds whose game ended early are skipped.
inline std::vector<GameState> seededPositions(int count) {
    std::vector<GameState> out;
    out.reserve(static_cast<std::size_t>(count));
    for (unsigned seed = 1; static_cast<int>(out.size()) < count; ++seed) {
        std::mt19937 rng(seed);
        const int plies = 11 + 2 * pick(rng, 10);
        GameState s;
        if (playRandomGame(s, rng, plies)) out.push_back(s);
    }
    return out;
}

} // namespace zubeki::test
