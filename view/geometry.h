#pragma once

#include "play/display.h"

#include <cmath>

// Where things stand on the window. Positions are given in square units
// (origin and square size in twips, 15 twips to a logical pixel) and colours as
// indices of the 16-colour palette.
namespace zubeki {

inline constexpr double BOARD_ORIGIN_X = 1050;
inline constexpr double BOARD_ORIGIN_Y = 100;
inline constexpr double SQUARE_WIDTH = 495;
inline constexpr double SQUARE_HEIGHT = 615;
inline constexpr double TWIPS_PER_PIXEL = 15;

// The window: its placement and size in twips.
inline constexpr int FORM_LEFT = -60;
inline constexpr int FORM_TOP = -60;
inline constexpr int FORM_WIDTH = 8500;
inline constexpr int FORM_HEIGHT = 8000;

// A square-unit position as a window point in twips: computed in double precision,
// handed on in single precision.
inline float unitToTwipsX(double u) {
    return static_cast<float>(BOARD_ORIGIN_X + u * SQUARE_WIDTH);
}
inline float unitToTwipsY(double v) {
    return static_cast<float>(BOARD_ORIGIN_Y + v * SQUARE_HEIGHT);
}

// The square under a press (twips); 0 or less, or 10 and more, lies off the board.
struct SquareIndex {
    int x;
    int y;
};
inline SquareIndex squareAtTwips(double X, double Y) {
    return {static_cast<int>(std::floor((X - BOARD_ORIGIN_X) / SQUARE_WIDTH)),
            static_cast<int>(std::floor((Y - BOARD_ORIGIN_Y) / SQUARE_HEIGHT))};
}

} // namespace zubeki
