#pragma once

#include "game/codes.h"
#include "game/rules.h"
#include "game/squares.h"

namespace zubeki {

// What the pass rule decided for the side about to move.
enum class PassOutcome { HasMove, Pass, Draw };

struct GameState;

// What the caller shows between the rule steps of a move. The window draws and sounds here;
// the defaults show nothing.
class MoveSteps {
  public:
    virtual ~MoveSteps() = default;
    // MOVE_COUNT has been raised; the piece has not moved yet.
    virtual void counted() {}
    // The piece stands on its destination.
    virtual void moved() {}
    // CHECK_SQUARES and CHECK_ACTIVE hold the check the move gave.
    virtual void checked() {}
    // Takes the group marked in GROUP_MARK off the board (the window animates it).
    virtual void removeGroup(GameState& s);
};

// The whole position and every per-game variable, with the rule queries that read them.
// Arrays are indexed [x][y] with x = column 1..9 from the left and y = row 1..9 from the top;
// row and column 0 are never used.
struct GameState {
    int BOARD[10][10]{};
    int TURN = NO_SIDE;
    int PLAY_MODE = MODE_MAN; // no game yet: explicitly the two-human mode
    int MAN_SIDE = SIDE_SENTE;
    int COM_SIDE = SIDE_GOTE;
    int LEVEL = 3;
    int MOVE_COUNT = 0;
    int PASS_COUNT = 0;
    int SELECT_STATE = 0;
    int CAPTURE_DONE = NO_SIDE;
    int CHECK_SQUARES[10][10]{};
    int CHECK_ACTIVE = FALSE_CODE;
    int GROUP_MARK[10][10]{};
    int REVERSED = FALSE_CODE;

    // Sets up the starting position and resets the per-game counters; no game runs afterwards.
    void 初期設定();

    // --- legality ---
    // May the piece 移動駒種類 go from the source to the destination in this position?
    int 移動チェック(int 移動元X, int 移動元Y, int 移動先X, int 移動先Y, int 移動駒種類) const;
    // Same file or rank and nothing strictly between?
    int 移動チェック飛車(int 移動元X, int 移動元Y, int 移動先X, int 移動先Y) const;
    // Same diagonal and nothing strictly between?
    int 移動チェック角(int 移動元X, int 移動元Y, int 移動先X, int 移動先Y) const;
    // May this piece promote on arriving at the destination? (It then arrives as 成駒(piece).)
    int 調査_駒成(int 移動元X, int 移動元Y, int 移動先X, int 移動先Y, int 移動駒種類) const;
    // Which side code owns a piece of this code under the current play mode (0 for none)?
    int 調査_駒手番(int IN_駒種類) const;
    // Whose pieces TURN moves: -1 the lower side's, +1 the upper side's, 0 when no game runs.
    int 手番側() const;
    // TURN set to the side code that moves the pieces of `side` (-1 lower, +1 upper).
    void 手番設定(int side);

    // --- carrying out a move ---
    // The rule half of a legal move (or of a pass): the move number, the board, the check
    // squares, the pass count, the capture loop and the end test. The caller's steps show it.
    MoveOutcome 指し手適用(const PlayedMove& m, MoveSteps& steps);
    MoveOutcome 指し手適用(const PlayedMove& m) {
        MoveSteps none;
        return 指し手適用(m, none);
    }

    // --- moving and capture by surrounding ---
    // Moves the piece on the board only; the caller has found the move legal.
    void 駒移動(int 移動元X, int 移動元Y, int 移動先X, int 移動先Y, int 移動駒);
    // Is an enemy group next to this square left without a liberty? Marks it in GROUP_MARK.
    int 調査_当たり(int 入力X, int 入力Y, int IN_手番, int IN_相手);
    // Is the group of side 手番 containing the start square without a liberty?
    int 調査_当たり2(int 開始X, int 開始Y, int 手番);
    // One growth pass of the marked group; -1 when an empty square touches it, else new marks.
    int 調査_向右(int IN_手番);
    int 調査_向左(int IN_手番);
    int 調査_向上(int IN_手番);
    int 調査_向下(int IN_手番);
    // Does an orthogonal neighbour on the board hold the code 入力状態?
    int 調査_四方状態(int 入力X, int 入力Y, int 入力状態) const;
    // Empties every square marked in GROUP_MARK, in x-outer order (no animation).
    void 当駒除去();

    // Runs the capture loop after a move to (x, y): one surrounded group per turn of the loop.
    // removeGroup must take the marked group off the board (animated in the window).
    template <class RemoveGroup>
    void 捕獲ループ(int 移動先X, int 移動先Y, int 手番, int 相手, RemoveGroup&& removeGroup) {
        while (調査_当たり(移動先X, 移動先Y, 手番, 相手) != FALSE_CODE) {
            CAPTURE_DONE = TRUE_CODE;
            removeGroup();
        }
    }

    // --- between moves ---
    void 初期化_チェック桝();
    // Recomputes CHECK_SQUARES / CHECK_ACTIVE after a move that ended on this square.
    void 調査_チェック桝(int IN_移動元X, int IN_移動元Y);
    // Does the piece on this square have any legal destination?
    int 調査_移動先があるか(int 移動元X, int 移動元Y) const;
    // Does the side of IN_駒 have any legal move?
    int 調査_移動先有無(int IN_駒) const;
    // Does the side of the piece just moved fill its enemy camp?
    int 終了チェック(int IN_移動駒) const;
    // The pass rule before a side moves: counts a pass and says whether the game is drawn.
    PassOutcome パス判定(int IN_駒);
    // Did the move just made win (camp filled or a group captured)?
    bool 勝利判定(int 移動駒) const {
        return 終了チェック(移動駒) == TRUE_CODE || CAPTURE_DONE == TRUE_CODE;
    }
};

// The position seen from the other side: (x, y) -> (10 - x, 10 - y) and code -> -code on
// BOARD, and CHECK_SQUARES turned the same way. Everything else is copied unchanged.
GameState 反転局面(const GameState& 局面);

} // namespace zubeki
