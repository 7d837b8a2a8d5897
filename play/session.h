#pragma once

#include "game/codes.h"
#include "game/squares.h"

// Everything about a game on the board that is not its position: who plays which side, the
// computer's level, the two-press selection, whether the board has been turned, and whose turn
// it is while a game runs.
namespace zubeki {

struct PlaySession {
    int TURN = NO_SIDE;       // the side code to move (SIDE_SENTE, SIDE_GOTE); NO_SIDE: stopped
    int PLAY_MODE = MODE_MAN; // no game yet: explicitly the two-human mode
    int MAN_SIDE = SIDE_SENTE;
    int COM_SIDE = SIDE_GOTE;
    int LEVEL = 3;
    int SELECT_STATE = 0;
    int REVERSED = FALSE_CODE;

    // The side code that plays `side`'s pieces in this mode: the first player (先手) is the
    // lower side between two people; against the computer the person has the lower pieces and
    // moves first or second. 0 when the mode gives that side to no one.
    int codeFor(Side side) const {
        if (PLAY_MODE == MODE_MAN) return side == Side::Lower ? SIDE_SENTE : SIDE_GOTE;
        if (PLAY_MODE != MODE_COM) return EMPTY;
        const bool lower = side == Side::Lower;
        if (COM_SIDE == SIDE_SENTE) return lower ? SIDE_GOTE : SIDE_SENTE;
        if (MAN_SIDE == SIDE_SENTE) return lower ? SIDE_SENTE : SIDE_GOTE;
        return EMPTY;
    }
    // Whose pieces TURN moves: -1 the lower side's, +1 the upper side's, 0 when no game runs.
    int side() const {
        if (TURN == NO_SIDE) return 0;
        if (codeFor(Side::Lower) == TURN) return -1;
        if (codeFor(Side::Upper) == TURN) return 1;
        return 0;
    }
    bool running() const { return TURN != NO_SIDE; }
};

} // namespace zubeki
