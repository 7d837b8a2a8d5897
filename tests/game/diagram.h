#pragma once

// Board diagrams for tests. A diagram is up to nine rows, the top row (y = 1) first; each row
// is read left to right from x = 1:
//
//   .  empty      r  lower rook    b  lower bishop    R  upper rook    B  upper bishop
//   +  promotes the letter after it (+r, +b, +R, +B)
//
// Spaces are ignored. A row may stop early and rows may be left out: the rest is empty, so
// {"Br", "r"} is an upper bishop on (1,1) with lower rooks on (2,1) and (1,2). Unknown
// characters and rows of more than nine squares throw std::invalid_argument.

#include <array>
#include <stdexcept>
#include <string>
#include <string_view>

#include "game/state.h"

namespace zubeki::diagram {

using Rows = std::array<std::string_view, 9>;

inline constexpr Rows kEmpty{};

inline int codeOf(char letter, bool promoted) {
    int code = 0;
    switch (letter) {
    case 'r':
        code = SITA_ROOK;
        break;
    case 'b':
        code = SITA_BISHOP;
        break;
    case 'R':
        code = UE_ROOK;
        break;
    case 'B':
        code = UE_BISHOP;
        break;
    default:
        throw std::invalid_argument(std::string("not a diagram square: '") + letter + "'");
    }
    return !promoted ? code : code > 0 ? code + 1 : code - 1;
}

// Writes the diagram into all 81 squares of BOARD; nothing else in the state changes.
inline void place(Position& s, const Rows& rows) {
    for (int y = 1; y <= 9; ++y) {
        for (int x = 1; x <= 9; ++x) s.BOARD[x][y] = EMPTY;
        int x = 0;
        bool promoted = false;
        for (char c : rows[y - 1]) {
            if (c == ' ') continue;
            if (c == '+' && !promoted) {
                promoted = true;
                continue;
            }
            if (++x > 9)
                throw std::invalid_argument("more than nine squares in row " + std::to_string(y));
            s.BOARD[x][y] = c == '.' && !promoted ? EMPTY : codeOf(c, promoted);
            promoted = false;
        }
        if (promoted) throw std::invalid_argument("'+' at the end of row " + std::to_string(y));
    }
}

// A fresh state (no game running, two-human mode) holding the diagram's position.
inline GameState position(const Rows& rows) {
    GameState s;
    place(s, rows);
    return s;
}

// The board as nine full rows in the same notation; comparing two of these gives a readable
// difference when a test fails.
inline std::string toDiagram(const Position& s) {
    std::string out;
    for (int y = 1; y <= 9; ++y) {
        for (int x = 1; x <= 9; ++x) {
            const int c = s.BOARD[x][y];
            if (isPromoted(c)) out += '+';
            const int base = !isPromoted(c) ? c : c > 0 ? c - 1 : c + 1;
            out += base == SITA_ROOK     ? 'r'
                   : base == SITA_BISHOP ? 'b'
                   : base == UE_ROOK     ? 'R'
                   : base == UE_BISHOP   ? 'B'
                   : base == EMPTY       ? '.'
                                         : '?';
        }
        out += '\n';
    }
    return out;
}

inline std::string toDiagram(const Rows& rows) {
    return toDiagram(position(rows));
}

// A board-shaped mark array (GROUP_MARK, CHECK_SQUARES) as nine rows of '#' (set) and '.'.
inline std::string marks(const int (&m)[10][10]) {
    std::string out;
    for (int y = 1; y <= 9; ++y) {
        for (int x = 1; x <= 9; ++x) out += m[x][y] != 0 ? '#' : '.';
        out += '\n';
    }
    return out;
}

// Expected marks written like a diagram, '#' for a marked square; short rows are padded.
inline std::string marks(const Rows& rows) {
    std::string out;
    for (std::string_view row : rows) {
        if (row.size() > 9) throw std::invalid_argument("more than nine squares in a mark row");
        out += row;
        out.append(9 - row.size(), '.');
        out += '\n';
    }
    return out;
}

} // namespace zubeki::diagram
