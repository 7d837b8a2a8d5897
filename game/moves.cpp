#include "game/moves.h"

namespace zubeki {

namespace {

// Does a promoted piece of this code have to keep out of this square (its own corner)?
bool ownCorner(int piece, int x, int y) {
    return isPromoted(piece) && (isUpperPiece(piece) ? inUeCamp(x, y) : inSitaCamp(x, y));
}

} // namespace

SquareSet legalDestinations(const GameState& s, int x, int y, int piece) {
    SquareSet out;
    // While pieces are in check only they may move.
    if (s.CHECK_ACTIVE == TRUE_CODE && s.CHECK_SQUARES[x][y] == FALSE_CODE) return out;
    if (!isPieceCode(piece)) {
        // A code that is no piece: the rule book has no limit for it but the empty square.
        for (int i = 1; i <= 9; ++i)
            for (int j = 1; j <= 9; ++j)
                if (s.移動チェック(x, y, i, j, piece) == TRUE_CODE) out.add(i, j);
        return out;
    }
    const PieceLines lines = 駒の動き(piece);
    // The empty squares of each line up to the first piece; a promoted piece may pass
    // through its own corner but not stop there.
    for (int i = 0; i < lines.slides; ++i) {
        const Direction d = DIRECTIONS[lines.slide[i]];
        for (int tx = x + d.dx, ty = y + d.dy; onBoard(tx, ty) && s.BOARD[tx][ty] == EMPTY;
             tx += d.dx, ty += d.dy)
            if (!ownCorner(piece, tx, ty)) out.add(tx, ty);
    }
    for (int i = 0; i < lines.steps; ++i) {
        const Direction d = DIRECTIONS[lines.step[i]];
        const int tx = x + d.dx, ty = y + d.dy;
        if (onBoard(tx, ty) && s.BOARD[tx][ty] == EMPTY && !ownCorner(piece, tx, ty))
            out.add(tx, ty);
    }
    return out;
}

void 合法手一覧(const GameState& s, int side, LegalMoves& out) {
    out.size = 0;
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) {
            const int piece = s.BOARD[x][y];
            if (sideOf(piece) != side || side == 0) continue;
            legalDestinations(s, x, y, piece).forEach([&](int tx, int ty) {
                out.add({x, y, tx, ty, piece, piece});
                if (s.調査_駒成(x, y, tx, ty, piece) == TRUE_CODE)
                    out.add({x, y, tx, ty, piece, 成駒(piece)});
            });
        }
    if (out.size == 0) out.add(PlayedMove{});
}

std::string quoted(std::string_view text) {
    constexpr std::size_t kMax = 40;
    // Appended piece by piece: GCC 12 warns falsely about "'" + std::string(...) at -O3.
    std::string q = "'";
    q += text.substr(0, kMax);
    q += text.size() > kMax ? "…'" : "'";
    return q;
}

std::string squareText(int x, int y) {
    if (!onBoard(x, y)) return "??";
    std::string text;
    text += static_cast<char>('0' + (10 - x));
    text += static_cast<char>('a' + (y - 1));
    return text;
}

std::string 指し手文字列(const PlayedMove& m) {
    if (m.pass()) return "pass";
    std::string text = squareText(m.移動元X, m.移動元Y) + squareText(m.移動先X, m.移動先Y);
    if (m.promotes()) text += '+';
    return text;
}

std::optional<PlayedMove> 指し手解釈(const GameState& s, int side, std::string_view text,
                                     std::string& why) {
    LegalMoves legal;
    合法手一覧(s, side, legal);
    const bool mustPass = legal.size == 1 && legal.at[0].pass();
    if (text == "pass") {
        if (mustPass) return legal.at[0];
        why = "pass: the side to move has a legal move";
        return std::nullopt;
    }
    auto square = [&](std::size_t at, int& x, int& y) {
        if (text[at] < '1' || text[at] > '9' || text[at + 1] < 'a' || text[at + 1] > 'i')
            return false;
        x = 10 - (text[at] - '0');
        y = text[at + 1] - 'a' + 1;
        return true;
    };
    int fx = 0, fy = 0, tx = 0, ty = 0;
    const bool promote = text.size() == 5 && text[4] == '+';
    if ((text.size() != 4 && !promote) || !square(0, fx, fy) || !square(2, tx, ty)) {
        why = quoted(text) + " is not a move (a move is like 9g9f, 3c1a+ or pass)";
        return std::nullopt;
    }
    for (const PlayedMove& m : legal)
        if (!m.pass() && m.移動元X == fx && m.移動元Y == fy && m.移動先X == tx && m.移動先Y == ty &&
            m.promotes() == promote)
            return m;
    why = quoted(text) + " is not a legal move here";
    return std::nullopt;
}

AfterMove 指し手後(const GameState& s, int side, const PlayedMove& m) {
    AfterMove after{s, false};
    if (m.pass()) {
        after.state.PASS_COUNT += 1;
        after.ended = after.state.PASS_COUNT >= 2;
    } else {
        after.ended = after.state.指し手適用(m).end != GameEnd::None;
    }
    after.state.手番設定(-side);
    return after;
}

std::uint64_t perft(const GameState& s, int side, int depth) {
    if (depth <= 0) return 1;
    LegalMoves legal;
    合法手一覧(s, side, legal);
    if (depth == 1) return static_cast<std::uint64_t>(legal.size);
    std::uint64_t nodes = 0;
    for (const PlayedMove& m : legal) {
        const AfterMove after = 指し手後(s, side, m);
        if (!after.ended) nodes += perft(after.state, -side, depth - 1);
    }
    return nodes;
}

} // namespace zubeki
