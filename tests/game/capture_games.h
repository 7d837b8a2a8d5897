#pragma once

// Two short games between humans that end with a group surrounded, played by the flow tests
// and drawn frame by frame by the window's tests.

#include "diagram.h"

#include <vector>

namespace zubeki::diagram {

struct Step {
    int fx, fy, tx, ty;
};

struct CaptureGame {
    const char* name;
    Rows rows;
    std::vector<Step> moves;
    int capturedX, capturedY;
    bool upperVanishes; // which side picture the vanishing piece shows first
    const char* result;
};

inline const CaptureGame kCaptureGames[] = {
    // The lower rook checks the upper rook, which must move; then the lower rook closes the
    // corner round the upper bishop.
    {"lower side surrounds the corner bishop",
     {"Br", "", "", "r", "....R", "", "", "", "....r"},
     {{5, 9, 5, 6}, {5, 5, 2, 5}, {1, 4, 1, 2}},
     1,
     1,
     true,
     "先手の勝ちです | 終了 | OK"},
    // A quiet lower move, then the upper rook comes down beside the lower bishop in the corner.
    {"upper side surrounds the corner bishop",
     {"", "", "", "", "..r", "........R", "", "", ".......Rb"},
     {{3, 5, 3, 4}, {9, 6, 9, 8}},
     9,
     9,
     false,
     "後手の勝ちです | 終了 | OK"},
};

} // namespace zubeki::diagram
