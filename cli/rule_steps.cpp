#include "cli/rule_steps.h"

#include <cstdio>

namespace zubeki::cli {
namespace {

std::string squareText(int x, int y) {
    // snprintf rather than "(" + to_string(x) + ...: GCC 12 at -O3 warns falsely on the latter.
    char text[32];
    std::snprintf(text, sizeof text, "(%d, %d)", x, y);
    return text;
}

} // namespace

const char* sideName(int side) {
    return side > 0 ? "upper side" : "lower side";
}

MoveOutcome 指し手実行(GameState& s, int 移動元X, int 移動元Y, int 移動先X, int 移動先Y,
                       int 移動前駒, int 移動駒) {
    MoveOutcome out;
    s.駒移動(移動元X, 移動元Y, 移動先X, 移動先Y, 移動駒);
    s.調査_チェック桝(移動先X, 移動先Y);
    for (int x = 1; x <= BOARD_SIZE; ++x)
        for (int y = 1; y <= BOARD_SIZE; ++y)
            if (s.CHECK_SQUARES[x][y] == TRUE_CODE) out.check.add(x, y);
    s.PASS_COUNT = 0;

    // The side codes come from 調査_駒手番, so they match whatever play mode the state is in.
    const int 手番 = s.調査_駒手番(移動駒);
    const int 相手 = s.調査_駒手番(-移動駒);
    s.捕獲ループ(移動先X, 移動先Y, 手番, 相手, [&] {
        // 当駒除去 empties the marked squares in this same order.
        for (int x = 1; x <= BOARD_SIZE; ++x)
            for (int y = 1; y <= BOARD_SIZE; ++y)
                if (s.GROUP_MARK[x][y] == 1) out.captured.add(x, y);
        s.当駒除去();
    });

    if (s.CAPTURE_DONE == TRUE_CODE)
        out.end = GameEnd::Capture;
    else if (s.終了チェック(移動前駒) == TRUE_CODE)
        out.end = GameEnd::Camp;
    return out;
}

std::string 指し手検査(GameState& s, int 移動元X, int 移動元Y, int 移動先X, int 移動先Y, int piece,
                       int result, int target) {
    if (!onBoard(移動元X, 移動元Y))
        return "the source " + squareText(移動元X, 移動元Y) + " is off the board";
    if (!onBoard(移動先X, 移動先Y))
        return "the destination " + squareText(移動先X, 移動先Y) + " is off the board";
    if (!isPieceCode(piece)) return "the piece code " + std::to_string(piece) + " is no piece";
    const int standing = s.BOARD[移動元X][移動元Y];
    if (standing != piece)
        return "the piece " + std::to_string(piece) + " is not on its source " +
               squareText(移動元X, 移動元Y) + " (it holds " + std::to_string(standing) + ")";
    if (s.BOARD[移動先X][移動先Y] != EMPTY)
        return "the destination " + squareText(移動先X, 移動先Y) + " is occupied by " +
               std::to_string(s.BOARD[移動先X][移動先Y]);
    if (target != EMPTY)
        return "the recorded target " + std::to_string(target) + " is not 0 (empty)";
    if (s.移動チェック(移動元X, 移動元Y, 移動先X, 移動先Y, piece) != TRUE_CODE) {
        if (s.CHECK_ACTIVE == TRUE_CODE && s.CHECK_SQUARES[移動元X][移動元Y] != TRUE_CODE)
            return "the piece on " + squareText(移動元X, 移動元Y) +
                   " is not in check, and only a piece in check may move";
        return "the piece " + std::to_string(piece) + " cannot move from " +
               squareText(移動元X, 移動元Y) + " to " + squareText(移動先X, 移動先Y);
    }
    if (result == piece) return {};
    if (s.調査_駒成(移動元X, 移動元Y, 移動先X, 移動先Y, piece) == TRUE_CODE &&
        result == s.PROMOTED_PIECE)
        return {};
    return "the piece " + std::to_string(piece) + " cannot arrive on " +
           squareText(移動先X, 移動先Y) + " as " + std::to_string(result);
}

} // namespace zubeki::cli
