#pragma once

#include "game/codes.h"
#include "game/position.h"

namespace zubeki {

// What the pass rule decided for the side about to move.
enum class PassOutcome { HasMove, Pass, Draw };

// The position as the window's game holds it today, with the per-game session variables
// around it (who plays which side, the level, the two-press selection, whether the board is
// turned) and the rule routines under their old names. The rules themselves are Position's.
struct GameState : Position {
    int TURN = NO_SIDE;
    int PLAY_MODE = MODE_MAN; // no game yet: explicitly the two-human mode
    int MAN_SIDE = SIDE_SENTE;
    int COM_SIDE = SIDE_GOTE;
    int LEVEL = 3;
    int SELECT_STATE = 0;
    int CAPTURE_DONE = NO_SIDE;
    int GROUP_MARK[10][10]{};
    int REVERSED = FALSE_CODE;

    // Sets up the starting position and resets the per-game counters; no game runs afterwards.
    void 初期設定();

    // --- legality ---
    // Same file or rank and nothing strictly between?
    bool 移動チェック飛車(int 移動元X, int 移動元Y, int 移動先X, int 移動先Y) const;
    // Same diagonal and nothing strictly between?
    bool 移動チェック角(int 移動元X, int 移動元Y, int 移動先X, int 移動先Y) const;
    // Which side code owns a piece of this code under the current play mode (0 for none)?
    int 調査_駒手番(int IN_駒種類) const;
    // Whose pieces TURN moves: -1 the lower side's, +1 the upper side's, 0 when no game runs.
    int 手番側() const;
    // TURN set to the side code that moves the pieces of `side` (-1 lower, +1 upper).
    void 手番設定(int side);

    // --- moving and capture by surrounding ---
    // Moves the piece on the board only; the caller has found the move legal.
    void 駒移動(int 移動元X, int 移動元Y, int 移動先X, int 移動先Y, int 移動駒);
    // Is an enemy group next to this square left without a liberty? Marks it in GROUP_MARK.
    bool 調査_当たり(int 入力X, int 入力Y, int IN_手番, int IN_相手);
    // Is the group of side 手番 containing the start square without a liberty? Marks it.
    bool 調査_当たり2(int 開始X, int 開始Y, int 手番);
    // Empties every square marked in GROUP_MARK, in x-outer order (no animation).
    void 当駒除去();

    // Runs the capture loop after a move to (x, y): one surrounded group per turn of the loop.
    // removeGroup must take the marked group off the board (animated in the window).
    template <class RemoveGroup>
    void 捕獲ループ(int 移動先X, int 移動先Y, int 手番, int 相手, RemoveGroup&& removeGroup) {
        while (調査_当たり(移動先X, 移動先Y, 手番, 相手)) {
            CAPTURE_DONE = TRUE_CODE;
            removeGroup();
        }
    }

    // --- between moves ---
    // The check squares cleared (CHECK_ACTIVE is left as it is).
    void 初期化_チェック桝();
    // Does the side of IN_駒 have any legal move?
    bool 調査_移動先有無(int IN_駒) const { return hasMove(sideOfSign(IN_駒)); }
    // Does the side of the piece just moved fill its enemy camp?
    using Position::終了チェック;
    bool 終了チェック(int IN_移動駒) const { return 終了チェック(sideOfSign(IN_移動駒)); }
    // The pass rule before a side moves: counts a pass and says whether the game is drawn.
    PassOutcome パス判定(int IN_駒);
    // Did the move just made win (camp filled or a group captured)?
    bool 勝利判定(int 移動駒) const { return 終了チェック(移動駒) || CAPTURE_DONE == TRUE_CODE; }
};

// The position seen from the other side: (x, y) -> (10 - x, 10 - y) and code -> -code on
// BOARD, and CHECK_SQUARES turned the same way. Everything else is copied unchanged.
GameState 反転局面(const GameState& 局面);

} // namespace zubeki
