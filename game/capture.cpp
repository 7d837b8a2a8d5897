#include "game/state.h"

namespace zubeki {

void MoveSteps::removeGroup(GameState& s) {
    s.当駒除去();
}

MoveOutcome GameState::指し手適用(const PlayedMove& m, MoveSteps& steps) {
    // The rules decide once, on a copy; the steps then show the board reaching that position.
    Position after = *this;
    after.SIDE = m.pass() ? SIDE : m.side();
    const MoveOutcome outcome = after.play(m);
    if (m.pass()) {
        PASS_COUNT = after.PASS_COUNT;
        return outcome;
    }
    MOVE_COUNT += 1;
    steps.counted();
    駒移動(m.移動元X, m.移動元Y, m.移動先X, m.移動先Y, m.移動駒);
    steps.moved();
    CHECK_ACTIVE = after.CHECK_ACTIVE;
    for (int x = 1; x <= BOARD_SIZE; ++x)
        for (int y = 1; y <= BOARD_SIZE; ++y) CHECK_SQUARES[x][y] = after.CHECK_SQUARES[x][y];
    steps.checked();
    PASS_COUNT = 0;

    // Each surrounded group marked and taken off in turn, in the order the rules emptied them.
    int next = 0;
    for (int g = 0; g < outcome.groups; ++g) {
        const Square first = outcome.captured.at[next];
        const std::optional<SquareSet> group =
            surroundedGroup(first.x, first.y, opposite(m.side()));
        for (int x = 1; x <= 9; ++x)
            for (int y = 1; y <= 9; ++y) GROUP_MARK[x][y] = group->contains(x, y) ? 1 : 0;
        next += group->size();
        CAPTURE_DONE = TRUE_CODE;
        steps.removeGroup(*this);
        当駒除去();
    }
    return outcome;
}

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
