#include "ai/evaluation.h"

#include "game/moves.h"

namespace zubeki {

namespace {
inline bool lowerAt(const Position& s, int x, int y) {
    return isLowerPiece(s.BOARD[x][y]);
}
inline bool emptyAt(const Position& s, int x, int y) {
    return s.BOARD[x][y] == EMPTY;
}
} // namespace

int 調査_周辺状況(const Position& 局面, int 移動先X, int 移動先Y) {
    int v = 0;
    for (int i = 移動先X - 1; i <= 移動先X + 1; ++i)
        for (int j = 移動先Y - 1; j <= 移動先Y + 1; ++j) {
            if (!onBoard(i, j) || (i == 移動先X && j == 移動先Y)) continue;
            if (isUpperPiece(局面.BOARD[i][j])) --v;
        }
    return v;
}

int 調査_移動可場所数(const Position& 局面, const Influence& 勢力, int 移動元X, int 移動元Y,
                      int 移動駒) {
    // A square is safe when the other side reaches it with nothing.
    const int(&enemy)[10][10] = 移動駒 >= UE_BISHOP ? 勢力.SITA_INFLUENCE : 勢力.UE_INFLUENCE;
    int count = 0;
    legalDestinations(局面, 移動元X, 移動元Y, 移動駒).forEach([&](int i, int j) {
        if (enemy[i][j] == 0) ++count;
    });
    return count;
}

double 盤評価(const EvalContext& 文脈, int, int 移動駒, int 移動元X, int 移動元Y, int 移動先X,
              int 移動先Y) {
    const Position& s = 文脈.state;
    const Influence& inf = 文脈.influence;
    const int P = 移動駒;
    const int SX = 移動元X, SY = 移動元Y, DX = 移動先X, DY = 移動先Y;

    // A small clock-dependent offset, the same for every candidate scored within one second.
    double V = 文脈.clock() / 3.0;

    // The pull towards the human's camp in the lower left.
    if (SX > DX) V += 1;
    if (SY < DY) V += 1;
    if (SX > DX && SY < DY) V += 10;
    if (inSitaCamp(SX, SY) && !inSitaCamp(DX, DY)) V -= 5;
    if (P > 文脈.TRIAL_PIECE) V += 10; // the move promotes
    if (文脈.LEVEL < 2) return V;

    // Standing in the line of a cheaper human piece while another computer piece backs the
    // square costs the difference in value.
    const int threat =
        inf.SITA_THREAT[DX][DY] < 0 ? -inf.SITA_THREAT[DX][DY] : inf.SITA_THREAT[DX][DY];
    if (inf.SITA_INFLUENCE[DX][DY] > 0 && inf.UE_INFLUENCE[DX][DY] > 0 && P > threat)
        V = V - P + threat;
    if (文脈.LEVEL < 3) return V;

    switch (P) {
    case UE_BISHOP:
        V += 調査_周辺状況(s, DX, DY);
        // A bishop attacked from just below with nowhere safe to go is trapped.
        if (DY < 9 && inf.SITA_INFLUENCE[DX][DY + 1] > 0) {
            if (調査_移動可場所数(s, inf, DX, DY, UE_BISHOP) == 0) V -= 100;
            if (DY < 8 && emptyAt(s, DX, DY + 2)) V -= 1;
        }
        break;
    case UE_BISHOP_PROMOTED:
        V += 調査_周辺状況(s, DX, DY);
        break;
    case UE_ROOK:
        V += 調査_周辺状況(s, DX, DY);
        if (DY < 8) {
            if (inf.SITA_INFLUENCE[DX][DY + 1] > 0) {
                V -= 1;
                if (SY == DY && emptyAt(s, DX, DY + 2)) V -= 5;
            }
            if (inf.SITA_INFLUENCE[SX][SY] == 0 && SX == 2 && SY == 2 && DX == 2 && DY == 3) V -= 1;
        }
        // A rook out of reach but with at most one safe square left is nearly shut in.
        if (inf.SITA_INFLUENCE[DX][DY] == 0 && 調査_移動可場所数(s, inf, DX, DY, UE_ROOK) <= 1)
            V -= 35;
        break;
    case UE_ROOK_PROMOTED:
        V += 調査_周辺状況(s, DX, DY);
        // Leaving the bottom row from under an empty square: 2 for each empty square beside
        // that one.
        if (SY == 9 && emptyAt(s, SX, 8)) {
            if (SX > 1 && emptyAt(s, SX - 1, 8)) V += 2;
            if (SX < 9 && emptyAt(s, SX + 1, 8)) V += 2;
        }
        // Onto (3,9) or (7,9) under a lower piece, with another one beside it on row 9 and
        // (4,8) or (6,8) still empty: one more lower move shuts it in.
        if (DY == 9 && lowerAt(s, DX, 8)) {
            if (DX == 3) {
                if (lowerAt(s, 2, 9) && emptyAt(s, 4, 8)) V -= 150;
            } else if (DX == 7) {
                if (lowerAt(s, 8, 9) && emptyAt(s, 6, 8)) V -= 150;
            }
        }
        break;
    default:
        break;
    }
    return V;
}

} // namespace zubeki
