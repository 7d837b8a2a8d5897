#pragma once

// What the game's flow asks the board display for, in the display's own terms: colour
// indices of the 16-colour palette, the text slots beside the board in square units, and
// the move-guidance options.
namespace zubeki {

// The mouse button that promotes a piece arriving in the enemy's camp.
inline constexpr int RIGHT_BUTTON = 2;

// Pictures that are no piece: a vanishing piece of the lower side (JI) or the upper (TEKI), the
// burst, and the logo.
inline constexpr int PIC_JI_NAKA = -1;
inline constexpr int PIC_TEKI_NAKA = 1;
inline constexpr int PIC_PA = 2;
inline constexpr int PIC_LOGO = 3;

inline constexpr int COLOUR_GREEN = 2;
inline constexpr int COLOUR_WHITE = 15;
inline constexpr int COLOUR_LIGHT_RED = 12;
inline constexpr int COLOUR_LIGHT_BLUE = 9;
inline constexpr int BOARD_COLOUR = COLOUR_GREEN;
inline constexpr int OUTLINE_COLOUR = BOARD_COLOUR;
inline constexpr int RESULT_TEXT_COLOUR = COLOUR_WHITE;

// The text slots for the last move of each side.
inline constexpr double UE_RESULT_X = -1.7;
inline constexpr double UE_RESULT_Y = 8.5;
inline constexpr double SITA_RESULT_X = 11.4;
inline constexpr double SITA_RESULT_Y = 1.7;

// Move guidance: whether the squares a piece can reach are outlined, and in what colour.
struct Options {
    int GUIDANCE = 1;
    int GUIDE_COLOUR = COLOUR_WHITE;
};

} // namespace zubeki
