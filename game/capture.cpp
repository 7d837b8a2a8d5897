#include "game/state.h"

namespace zubeki {

void MoveSteps::removeGroup(GameState& s) {
    s.当駒除去();
}

MoveOutcome GameState::指し手適用(const PlayedMove& m, MoveSteps& steps) {
    MoveOutcome outcome;
    const int dx = m.移動先X, dy = m.移動先Y;
    MOVE_COUNT += 1;
    steps.counted();
    駒移動(m.移動元X, m.移動元Y, dx, dy, m.移動駒);
    steps.moved();
    調査_チェック桝(dx, dy);
    for (int x = 1; x <= BOARD_SIZE; ++x)
        for (int y = 1; y <= BOARD_SIZE; ++y)
            if (CHECK_SQUARES[x][y] == TRUE_CODE) outcome.check.add(x, y);
    steps.checked();
    PASS_COUNT = 0;

    // The groups of the other side that the move left without a liberty, one at a time.
    const int 手番 = 調査_駒手番(m.移動駒);
    const int 相手 = 調査_駒手番(sidePiece(-sideOf(m.移動駒)));
    捕獲ループ(dx, dy, 手番, 相手, [&] {
        for (int x = 1; x <= BOARD_SIZE; ++x)
            for (int y = 1; y <= BOARD_SIZE; ++y)
                if (GROUP_MARK[x][y] == 1) outcome.captured.add(x, y);
        steps.removeGroup(*this);
        当駒除去();
    });

    if (CAPTURE_DONE == TRUE_CODE)
        outcome.end = GameEnd::Capture;
    else if (終了チェック(m.移動前駒) == TRUE_CODE)
        outcome.end = GameEnd::Camp;
    return outcome;
}

void GameState::駒移動(int 移動元X, int 移動元Y, int 移動先X, int 移動先Y, int 移動駒) {
    BOARD[移動元X][移動元Y] = EMPTY;
    BOARD[移動先X][移動先Y] = 移動駒;
}

int GameState::調査_当たり(int 入力X, int 入力Y, int, int IN_相手) {
    // Neighbours in the order left, right, up, down.
    const int dx[4] = {-1, 1, 0, 0};
    const int dy[4] = {0, 0, -1, 1};
    for (int i = 0; i < 4; ++i) {
        const int x = 入力X + dx[i];
        const int y = 入力Y + dy[i];
        if (!onBoard(x, y)) continue;
        if (調査_駒手番(BOARD[x][y]) == IN_相手 && 調査_当たり2(x, y, IN_相手) == TRUE_CODE)
            return TRUE_CODE;
    }
    return FALSE_CODE;
}

int GameState::調査_当たり2(int 開始X, int 開始Y, int 手番) {
    if (調査_四方状態(開始X, 開始Y, EMPTY) == TRUE_CODE) return FALSE_CODE;

    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) GROUP_MARK[x][y] = 0;
    GROUP_MARK[開始X][開始Y] = 1;

    // Grow the group pass by pass until a pass marks nothing new; any empty
    // square met on the way is a liberty.
    for (;;) {
        int sum = 0;
        int n = 調査_向右(手番);
        if (n < 0) return FALSE_CODE;
        sum += n;
        n = 調査_向左(手番);
        if (n < 0) return FALSE_CODE;
        sum += n;
        n = 調査_向上(手番);
        if (n < 0) return FALSE_CODE;
        sum += n;
        n = 調査_向下(手番);
        if (n < 0) return FALSE_CODE;
        sum += n;
        if (sum == 0) return TRUE_CODE;
    }
}

namespace {
// Examines (x, y) next to a marked square: -1 for a liberty, 1 for a new group member, else 0.
inline int grow(GameState& s, int x, int y, int 手番) {
    if (s.GROUP_MARK[x][y] != 0) return 0;
    if (s.BOARD[x][y] == EMPTY) return -1;
    if (s.調査_駒手番(s.BOARD[x][y]) == 手番) {
        s.GROUP_MARK[x][y] = 1;
        return 1;
    }
    return 0;
}
} // namespace

int GameState::調査_向右(int IN_手番) {
    int count = 0;
    for (int y = 1; y <= 9; ++y)
        for (int x = 2; x <= 9; ++x)
            if (GROUP_MARK[x - 1][y] > 0) {
                const int r = grow(*this, x, y, IN_手番);
                if (r < 0) return -1;
                count += r;
            }
    return count;
}

int GameState::調査_向左(int IN_手番) {
    int count = 0;
    for (int y = 1; y <= 9; ++y)
        for (int x = 8; x >= 1; --x)
            if (GROUP_MARK[x + 1][y] > 0) {
                const int r = grow(*this, x, y, IN_手番);
                if (r < 0) return -1;
                count += r;
            }
    return count;
}

int GameState::調査_向上(int IN_手番) {
    int count = 0;
    for (int x = 1; x <= 9; ++x)
        for (int y = 8; y >= 1; --y)
            if (GROUP_MARK[x][y + 1] > 0) {
                const int r = grow(*this, x, y, IN_手番);
                if (r < 0) return -1;
                count += r;
            }
    return count;
}

int GameState::調査_向下(int IN_手番) {
    int count = 0;
    for (int x = 1; x <= 9; ++x)
        for (int y = 2; y <= 9; ++y)
            if (GROUP_MARK[x][y - 1] > 0) {
                const int r = grow(*this, x, y, IN_手番);
                if (r < 0) return -1;
                count += r;
            }
    return count;
}

int GameState::調査_四方状態(int 入力X, int 入力Y, int 入力状態) const {
    if (入力X > 1 && BOARD[入力X - 1][入力Y] == 入力状態) return TRUE_CODE;
    if (入力X < 9 && BOARD[入力X + 1][入力Y] == 入力状態) return TRUE_CODE;
    if (入力Y > 1 && BOARD[入力X][入力Y - 1] == 入力状態) return TRUE_CODE;
    if (入力Y < 9 && BOARD[入力X][入力Y + 1] == 入力状態) return TRUE_CODE;
    return FALSE_CODE;
}

void GameState::当駒除去() {
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y)
            if (GROUP_MARK[x][y] == 1) BOARD[x][y] = EMPTY;
}

} // namespace zubeki
