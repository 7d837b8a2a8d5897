#include "game/position.h"

namespace zubeki {

namespace {

// Does a promoted piece of this code have to keep out of this square (its own corner)?
bool ownCorner(int piece, int x, int y) {
    return isPromoted(piece) && (isUpperPiece(piece) ? inUeCamp(x, y) : inSitaCamp(x, y));
}

// Is (x, y) on the board and empty?
bool emptyAt(const Position& p, int x, int y) {
    return onBoard(x, y) && p.BOARD[x][y] == EMPTY;
}

} // namespace

Position Position::start() {
    Position p;
    p.BOARD[7][1] = p.BOARD[9][1] = p.BOARD[8][2] = p.BOARD[7][3] = p.BOARD[9][3] = UE_ROOK;
    p.BOARD[8][1] = p.BOARD[7][2] = p.BOARD[9][2] = p.BOARD[8][3] = UE_BISHOP;
    p.BOARD[1][7] = p.BOARD[3][7] = p.BOARD[2][8] = p.BOARD[1][9] = p.BOARD[3][9] = SITA_ROOK;
    p.BOARD[2][7] = p.BOARD[1][8] = p.BOARD[3][8] = p.BOARD[2][9] = SITA_BISHOP;
    return p;
}

void Position::clearCheck() {
    CHECK_ACTIVE = false;
    for (auto& column : CHECK_SQUARES)
        for (int& square : column) square = 0;
}

// --- legality: one walk along the piece's lines answers every question ---

SquareSet Position::destinations(int x, int y, int piece) const {
    SquareSet out;
    // While pieces are in check only they may move.
    if (CHECK_ACTIVE && !inCheck(x, y)) return out;
    if (!isPieceCode(piece)) {
        // A code that is no piece has no limit but the empty square.
        for (int i = 1; i <= 9; ++i)
            for (int j = 1; j <= 9; ++j)
                if (BOARD[i][j] == EMPTY && (i != x || j != y)) out.add(i, j);
        return out;
    }
    const PieceLines lines = 駒の動き(piece);
    // The empty squares of each line up to the first piece; a promoted piece may pass through
    // its own corner but not stop there.
    for (int i = 0; i < lines.slides; ++i) {
        const Direction d = DIRECTIONS[lines.slide[i]];
        for (int tx = x + d.dx, ty = y + d.dy; emptyAt(*this, tx, ty); tx += d.dx, ty += d.dy)
            if (!ownCorner(piece, tx, ty)) out.add(tx, ty);
    }
    for (int i = 0; i < lines.steps; ++i) {
        const Direction d = DIRECTIONS[lines.step[i]];
        const int tx = x + d.dx, ty = y + d.dy;
        if (emptyAt(*this, tx, ty) && !ownCorner(piece, tx, ty)) out.add(tx, ty);
    }
    return out;
}

bool Position::移動チェック(int 移動元X, int 移動元Y, int 移動先X, int 移動先Y,
                            int 移動駒種類) const {
    if (!onBoard(移動先X, 移動先Y) || !onBoard(移動元X, 移動元Y)) return false;
    if (移動先X == 移動元X && 移動先Y == 移動元Y) return false;
    // While pieces are in check only they may move.
    if (CHECK_ACTIVE && !inCheck(移動元X, 移動元Y)) return false;
    if (BOARD[移動先X][移動先Y] != EMPTY) return false;
    if (!isPieceCode(移動駒種類)) return true;
    if (ownCorner(移動駒種類, 移動先X, 移動先Y)) return false;
    // The same lines destinations() walks: a step of one, or a slide over empty squares.
    int distance = 0;
    const int d = directionBetween(移動元X, 移動元Y, 移動先X, 移動先Y, distance);
    if (d < 0) return false;
    const PieceLines lines = 駒の動き(移動駒種類);
    for (int i = 0; i < lines.steps; ++i)
        if (lines.step[i] == d && distance == 1) return true;
    for (int i = 0; i < lines.slides; ++i) {
        if (lines.slide[i] != d) continue;
        for (int k = 1; k < distance; ++k)
            if (BOARD[移動元X + k * DIRECTIONS[d].dx][移動元Y + k * DIRECTIONS[d].dy] != EMPTY)
                return false;
        return true;
    }
    return false;
}

bool Position::調査_駒成(int, int, int 移動先X, int 移動先Y, int 移動駒種類) const {
    // An unpromoted piece may promote on arriving in its enemy's corner.
    if ((移動駒種類 == SITA_BISHOP || 移動駒種類 == SITA_ROOK) && inUeCamp(移動先X, 移動先Y))
        return true;
    return (移動駒種類 == UE_BISHOP || 移動駒種類 == UE_ROOK) && inSitaCamp(移動先X, 移動先Y);
}

bool Position::調査_移動先があるか(int 移動元X, int 移動元Y) const {
    return !destinations(移動元X, 移動元Y, BOARD[移動元X][移動元Y]).empty();
}

bool Position::hasMove(Side side) const {
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y)
            if (ownerOf(BOARD[x][y]) == side && 調査_移動先があるか(x, y)) return true;
    return false;
}

void Position::legalMoves(LegalMoves& out) const {
    out.size = 0;
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) {
            const int piece = BOARD[x][y];
            if (ownerOf(piece) != SIDE) continue;
            destinations(x, y, piece).forEach([&](int tx, int ty) {
                out.add({x, y, tx, ty, piece, piece});
                if (調査_駒成(x, y, tx, ty, piece)) out.add({x, y, tx, ty, piece, 成駒(piece)});
            });
        }
    if (out.size == 0) out.add(Move{});
}

bool Position::isLegal(const Move& m) const {
    if (m.pass()) return !hasMove(SIDE);
    if (!onBoard(m.移動元X, m.移動元Y) || ownerOf(m.移動前駒) != SIDE ||
        BOARD[m.移動元X][m.移動元Y] != m.移動前駒)
        return false;
    if (!移動チェック(m.移動元X, m.移動元Y, m.移動先X, m.移動先Y, m.移動前駒)) return false;
    return m.移動駒 == m.移動前駒 ||
           (m.移動駒 == 成駒(m.移動前駒) &&
            調査_駒成(m.移動元X, m.移動元Y, m.移動先X, m.移動先Y, m.移動前駒));
}

// --- carrying out a move ---

std::optional<SquareSet> Position::surroundedGroup(int x, int y, Side owner) const {
    if (ownerOf(BOARD[x][y]) != owner) return std::nullopt;
    // Grow the group along the orthogonal directions; any empty square met is a liberty.
    SquareSet group;
    Square stack[81];
    int size = 0;
    group.add(x, y);
    stack[size++] = {x, y};
    while (size > 0) {
        const Square sq = stack[--size];
        for (int d = 0; d < ORTHOGONAL_DIRECTIONS; ++d) {
            const int nx = sq.x + DIRECTIONS[d].dx, ny = sq.y + DIRECTIONS[d].dy;
            if (!onBoard(nx, ny) || group.contains(nx, ny)) continue;
            if (BOARD[nx][ny] == EMPTY) return std::nullopt;
            if (ownerOf(BOARD[nx][ny]) != owner) continue;
            group.add(nx, ny);
            stack[size++] = {nx, ny};
        }
    }
    return group;
}

MoveOutcome Position::play(const Move& m) {
    MoveOutcome outcome;
    const Side mover = SIDE;
    SIDE = opposite(SIDE);
    if (m.pass()) {
        // A side without a move passes; the second pass in a row draws the game.
        PASS_COUNT += 1;
        if (PASS_COUNT >= 2) outcome.end = GameEnd::Draw;
        return outcome;
    }
    const int dx = m.移動先X, dy = m.移動先Y;
    MOVE_COUNT += 1;
    BOARD[m.移動元X][m.移動元Y] = EMPTY;
    BOARD[dx][dy] = m.移動駒;
    調査_チェック桝(dx, dy);
    for (int x = 1; x <= BOARD_SIZE; ++x)
        for (int y = 1; y <= BOARD_SIZE; ++y)
            if (inCheck(x, y)) outcome.check.add(x, y);
    PASS_COUNT = 0;

    // The enemy groups next to the destination (left, right, up, down) that the move left
    // without a liberty vanish, one group at a time, each emptied in x-then-y order.
    for (int d = 0; d < ORTHOGONAL_DIRECTIONS; ++d) {
        const int nx = dx + DIRECTIONS[d].dx, ny = dy + DIRECTIONS[d].dy;
        if (!onBoard(nx, ny)) continue;
        const std::optional<SquareSet> group = surroundedGroup(nx, ny, opposite(mover));
        if (!group) continue;
        group->forEach([&](int x, int y) {
            outcome.captured.add(x, y);
            BOARD[x][y] = EMPTY;
        });
        outcome.groupEnd[outcome.groups++] = outcome.captured.size;
    }
    if (outcome.groups > 0)
        outcome.end = GameEnd::Capture;
    else if (終了チェック(mover))
        outcome.end = GameEnd::Camp;
    return outcome;
}

Position Position::after(const Move& m, MoveOutcome* outcome) const {
    Position next = *this;
    const MoveOutcome o = next.play(m);
    if (outcome) *outcome = o;
    return next;
}

// --- between moves ---

void Position::調査_チェック桝(int 移動先X, int 移動先Y) {
    clearCheck();
    bool candidate[10][10]{};
    const int P = BOARD[移動先X][移動先Y];
    for (int x = 移動先X - 1; x <= 移動先X + 1; ++x)
        for (int y = 移動先Y - 1; y <= 移動先Y + 1; ++y) {
            if (!onBoard(x, y)) continue;
            const int Q = BOARD[x][y];
            // Only unpromoted enemy pieces can be put in check.
            const bool qualifies = (isLowerPiece(P) && (Q == UE_ROOK || Q == UE_BISHOP)) ||
                                   (isUpperPiece(P) && (Q == SITA_ROOK || Q == SITA_BISHOP));
            if (!qualifies) continue;
            // Could P step onto Q's square if it were empty? A piece that cannot move anywhere
            // is not held to the check.
            BOARD[x][y] = EMPTY;
            const bool reach = 移動チェック(移動先X, 移動先Y, x, y, P);
            BOARD[x][y] = Q;
            candidate[x][y] = reach && 調査_移動先があるか(x, y);
        }
    for (int x = 移動先X - 1; x <= 移動先X + 1; ++x)
        for (int y = 移動先Y - 1; y <= 移動先Y + 1; ++y)
            if (onBoard(x, y) && candidate[x][y]) {
                CHECK_ACTIVE = true;
                CHECK_SQUARES[x][y] = 1;
            }
}

bool Position::終了チェック(Side side) const {
    // The lower side fills the upper side's corner (top right), the upper side the lower's.
    const int x0 = side == Side::Lower ? 7 : 1, y0 = side == Side::Lower ? 1 : 7;
    for (int x = x0; x < x0 + 3; ++x)
        for (int y = y0; y < y0 + 3; ++y)
            if (ownerOf(BOARD[x][y]) != side) return false;
    return true;
}

Position 反転(const Position& p) {
    Position turned = p;
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) {
            turned.BOARD[x][y] = -p.BOARD[10 - x][10 - y];
            turned.CHECK_SQUARES[x][y] = p.CHECK_SQUARES[10 - x][10 - y];
        }
    return turned;
}

std::uint64_t perft(const Position& p, int depth) {
    if (depth <= 0) return 1;
    LegalMoves legal;
    p.legalMoves(legal);
    if (depth == 1) return static_cast<std::uint64_t>(legal.size);
    std::uint64_t nodes = 0;
    for (const Move& m : legal) {
        MoveOutcome outcome;
        const Position next = p.after(m, &outcome);
        if (outcome.end == GameEnd::None) nodes += perft(next, depth - 1);
    }
    return nodes;
}

} // namespace zubeki
