#pragma once

#include "game/position.h"

namespace zubeki {

// How far each side's pieces reach across the board, and the weakest lower piece whose
// line reaches each upper piece. Rebuilt from BOARD by 勢力調査; stale as soon as BOARD
// changes. In the walkers' names 自 is the lower side (the human) and 敵 the upper side.
struct Influence {
    // Nothing of the lower side reaches this upper piece (or the square holds none).
    static constexpr int NO_THREAT = -999;
    // Reach code of a promoted bishop's one-square orthogonal step.
    static constexpr int BISHOP_STEP = SITA_BISHOP_PROMOTED;

    int SITA_INFLUENCE[10][10]{}; // lower pieces reaching the square
    int UE_INFLUENCE[10][10]{};   // upper pieces reaching the square
    int SITA_THREAT[10][10]{};    // on an upper piece: highest reach code of a lower piece

    // Clears the three grids and refills them from the position's board.
    void 勢力調査(const Position& 局面);

    // Adds one sliding line from the piece on (入力X, 入力Y); the sign of 駒種類 gives the side.
    void 勢力確定上直進(const Position& 局面, int 駒種類, int 入力X, int 入力Y);
    void 勢力確定下直進(const Position& 局面, int 駒種類, int 入力X, int 入力Y);
    void 勢力確定右直進(const Position& 局面, int 駒種類, int 入力X, int 入力Y);
    void 勢力確定左直進(const Position& 局面, int 駒種類, int 入力X, int 入力Y);
    // Adds the four diagonals of a lower bishop (promoted or not), always with reach code -800.
    void 勢力確定自角(const Position& 局面, int 入力X, int 入力Y);
    // Adds the four diagonals of an upper bishop; its code is never recorded.
    void 勢力確定敵角(const Position& 局面, int 駒種類, int 入力X, int 入力Y);
    // Adds a single step onto (入力X, 入力Y) whatever it holds; off-board steps do nothing.
    void 勢力確定一歩(const Position& 局面, int 駒種類, int 入力X, int 入力Y);

  private:
    // Squares from (x, y) to the board's edge in the direction (dx, dy).
    static int stepsToEdge(int x, int y, int dx, int dy) {
        const int nx = dx < 0 ? x - 1 : (dx > 0 ? 9 - x : 9);
        const int ny = dy < 0 ? y - 1 : (dy > 0 ? 9 - y : 9);
        return nx < ny ? nx : ny;
    }
    // A lower piece with reach code 駒種類 reaches (x, y): count it, and on an upper piece
    // keep the highest code (strictly higher replaces).
    void reachLower(const Position& s, int 駒種類, int x, int y) {
        ++SITA_INFLUENCE[x][y];
        if (isUpperPiece(s.BOARD[x][y]) && SITA_THREAT[x][y] < 駒種類) SITA_THREAT[x][y] = 駒種類;
    }
    void reach(const Position& s, int 駒種類, int x, int y) {
        if (駒種類 < 0)
            reachLower(s, 駒種類, x, y);
        else
            ++UE_INFLUENCE[x][y];
    }
    // Walks from (x, y) in steps of (dx, dy), reaching up to and including the first piece.
    void slide(const Position& s, int 駒種類, int x, int y, int dx, int dy) {
        const int n = stepsToEdge(x, y, dx, dy);
        if (駒種類 < 0) {
            for (int k = 0; k < n; ++k) {
                x += dx;
                y += dy;
                reachLower(s, 駒種類, x, y);
                if (s.BOARD[x][y] != EMPTY) return;
            }
        } else {
            for (int k = 0; k < n; ++k) {
                x += dx;
                y += dy;
                ++UE_INFLUENCE[x][y];
                if (s.BOARD[x][y] != EMPTY) return;
            }
        }
    }
    void diagonals(const Position& s, int 駒種類, int x, int y);
    // Everything the piece `code` on (x, y) reaches.
    void surveyPiece(const Position& s, int code, int x, int y);
};

} // namespace zubeki
