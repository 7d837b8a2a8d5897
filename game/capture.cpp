#include "game/state.h"

namespace zubeki {

void GameState::駒移動(int 移動元X, int 移動元Y, int 移動先X, int 移動先Y, int 移動駒) {
    BOARD[移動元X][移動元Y] = EMPTY;
    BOARD[移動先X][移動先Y] = 移動駒;
}

bool GameState::調査_当たり(int 入力X, int 入力Y, int, int IN_相手) {
    for (int d = 0; d < ORTHOGONAL_DIRECTIONS; ++d) {
        const int x = 入力X + DIRECTIONS[d].dx, y = 入力Y + DIRECTIONS[d].dy;
        if (!onBoard(x, y)) continue;
        if (調査_駒手番(BOARD[x][y]) == IN_相手 && 調査_当たり2(x, y, IN_相手)) return true;
    }
    return false;
}

bool GameState::調査_当たり2(int 開始X, int 開始Y, int 手番) {
    const Side owner = 調査_駒手番(SITA_BISHOP) == 手番 ? Side::Lower : Side::Upper;
    const std::optional<SquareSet> group = surroundedGroup(開始X, 開始Y, owner);
    if (!group) return false;
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) GROUP_MARK[x][y] = group->contains(x, y) ? 1 : 0;
    return true;
}

void GameState::当駒除去() {
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y)
            if (GROUP_MARK[x][y] == 1) BOARD[x][y] = EMPTY;
}

} // namespace zubeki
