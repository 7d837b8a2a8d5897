#include "ai/destinations.h"

namespace zubeki {

namespace {

enum class OwnCamp { None, Ue, Sita };

bool inCamp(OwnCamp camp, int x, int y) {
    return (camp == OwnCamp::Ue && inUeCamp(x, y)) || (camp == OwnCamp::Sita && inSitaCamp(x, y));
}

// The empty squares of one line up to the first piece; a promoted piece may pass through
// its own camp but not stop there.
void slide(const GameState& s, SquareSet& out, int x, int y, int dx, int dy, OwnCamp camp) {
    for (x += dx, y += dy; onBoard(x, y) && s.BOARD[x][y] == EMPTY; x += dx, y += dy)
        if (!inCamp(camp, x, y)) out.add(x, y);
}

// A promoted piece's one-square steps in all eight directions.
void steps(const GameState& s, SquareSet& out, int x, int y, OwnCamp camp) {
    for (int i = x - 1; i <= x + 1; ++i)
        for (int j = y - 1; j <= y + 1; ++j)
            if (onBoard(i, j) && s.BOARD[i][j] == EMPTY && !(i == x && j == y) &&
                !inCamp(camp, i, j))
                out.add(i, j);
}

} // namespace

SquareSet legalDestinations(const GameState& s, int x, int y, int piece) {
    SquareSet out;
    // While pieces are in check only they may move.
    if (s.CHECK_ACTIVE == TRUE_CODE && s.CHECK_SQUARES[x][y] == FALSE_CODE) return out;

    // Unpromoted pieces never move back towards their own corner.
    switch (piece) {
    case UE_BISHOP: // never up-right
        slide(s, out, x, y, -1, -1, OwnCamp::None);
        slide(s, out, x, y, -1, 1, OwnCamp::None);
        slide(s, out, x, y, 1, 1, OwnCamp::None);
        return out;
    case SITA_BISHOP: // never down-left
        slide(s, out, x, y, -1, -1, OwnCamp::None);
        slide(s, out, x, y, 1, -1, OwnCamp::None);
        slide(s, out, x, y, 1, 1, OwnCamp::None);
        return out;
    case UE_ROOK: // only left and down
        slide(s, out, x, y, -1, 0, OwnCamp::None);
        slide(s, out, x, y, 0, 1, OwnCamp::None);
        return out;
    case SITA_ROOK: // only right and up
        slide(s, out, x, y, 1, 0, OwnCamp::None);
        slide(s, out, x, y, 0, -1, OwnCamp::None);
        return out;
    case UE_BISHOP_PROMOTED:
    case SITA_BISHOP_PROMOTED: {
        const OwnCamp camp = piece > 0 ? OwnCamp::Ue : OwnCamp::Sita;
        slide(s, out, x, y, -1, -1, camp);
        slide(s, out, x, y, 1, -1, camp);
        slide(s, out, x, y, -1, 1, camp);
        slide(s, out, x, y, 1, 1, camp);
        steps(s, out, x, y, camp);
        return out;
    }
    case UE_ROOK_PROMOTED:
    case SITA_ROOK_PROMOTED: {
        const OwnCamp camp = piece > 0 ? OwnCamp::Ue : OwnCamp::Sita;
        slide(s, out, x, y, -1, 0, camp);
        slide(s, out, x, y, 1, 0, camp);
        slide(s, out, x, y, 0, -1, camp);
        slide(s, out, x, y, 0, 1, camp);
        steps(s, out, x, y, camp);
        return out;
    }
    default:
        // A code that is no piece: the rule book has no limit for it but the empty square.
        for (int i = 1; i <= 9; ++i)
            for (int j = 1; j <= 9; ++j)
                if (s.移動チェック(x, y, i, j, piece) == TRUE_CODE) out.add(i, j);
        return out;
    }
}

} // namespace zubeki
