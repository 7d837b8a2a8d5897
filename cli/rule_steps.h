#pragma once

#include <string>

#include "game/state.h"

// The steps that follow a chosen move, as the window takes them (move, check-square survey,
// capture loop, end test), without any drawing. The window's 人間の手 and com_ban take the same
// steps around their drawing; this is the one copy without it.
namespace zubeki::cli {

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

enum class GameEnd { None, Capture, Camp };

// What one move did.
struct MoveOutcome {
    SquareList check;    // CHECK_SQUARES after the move, x outer, then y
    SquareList captured; // squares the capture loop emptied, in the order it emptied them
    GameEnd end = GameEnd::None;
};

// Plays a move already found legal: 駒移動, 調査_チェック桝 on the destination, PASS_COUNT = 0,
// the capture loop for the side of the piece, and the end test (a capture first, then the camp).
// 移動前駒 is the piece's code on its source, 移動駒 the code it arrives with.
MoveOutcome 指し手実行(GameState& s, int 移動元X, int 移動元Y, int 移動先X, int 移動先Y,
                       int 移動前駒, int 移動駒);

// Why the move may not be played in this position, or "" when it may. Looks at the squares,
// the piece on the source, the destination (it must be empty and the recorded target 0),
// 移動チェック with the check restriction of the last move, and the promotion (`result` is the
// piece itself, or its promoted code where 調査_駒成 allows it). The turn order is the caller's.
// Changes only PROMOTED_PIECE.
std::string 指し手検査(GameState& s, int 移動元X, int 移動元Y, int 移動先X, int 移動先Y, int piece,
                       int result, int target);

// +1 for an upper-side code, -1 for a lower-side code, 0 for anything else.
constexpr int sideOf(int code) {
    return isUpperPiece(code) ? 1 : isLowerPiece(code) ? -1 : 0;
}
// "upper side" / "lower side" for messages.
const char* sideName(int side);

} // namespace zubeki::cli
