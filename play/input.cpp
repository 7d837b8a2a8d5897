#include "play/game.h"

namespace zubeki {

// --- the two presses ---

// Whose a piece is never depends on who plays it: the lower side's codes are negative. An empty
// square counts for both, as the two presses have always taken it.
bool Game::ownsPiece(int code) const {
    return s_.SIDE == Side::Lower ? code <= 0 : code >= 0;
}

bool Game::opponentsPiece(int code) const {
    return s_.SIDE == Side::Lower ? code >= 0 : code <= 0;
}

void Game::warnCheckPiece() {
    out_.soundDue(Wave::Forbidden);
    out_.ask({Say::MoveACheckPiece});
}

void Game::press(int Button, int x, int y) {
    // Online, the board waits for the server's word once the game has ended on it.
    if (online_ && !session_.running()) return;
    clearHint();
    if (session_.TURN == NO_SIDE) {
        resume();
        return;
    }
    // The press is the person's turn: the pass test, then the press as part of a move.
    person_.pressed = true;
    person_.Button = Button;
    person_.x = x;
    person_.y = y;
    const TurnResult r = playTurn().result;
    person_.pressed = false;
    if (r == TurnResult::Moved || r == TurnResult::Passed) online_ ? playOnlineTurns() : playOn();
}

std::optional<Move> Game::takePress(int Button, int x, int y) {
    if (!onBoard(x, y)) return std::nullopt;
    out_.marksCleared();
    if (session_.SELECT_STATE == 0) {
        firstPress(x, y);
        return std::nullopt;
    }
    return secondPress(Button, x, y);
}

void Game::resume() {
    if (rec_.RECORD_MODE == TRUE_CODE) {
        if (out_.ask({Say::StepTheRecord}) == Answer::No) out_.restart();
        return;
    }
    if (rec_.RECORD_POS == 0) {
        out_.soundDue(Wave::Forbidden);
        out_.ask({Say::StartFirst});
        return;
    }
    out_.ask({Say::ResumeHere});
    // Who moves next is read from the move after the position shown. Where the list has no
    // such move, the side that did not make the move shown moves; before any move, the lower.
    int next = EMPTY;
    if (rec_.RECORD_POS < rec_.RECORD_LEN)
        next = rec_.REC_RESULT[rec_.RECORD_POS + 1];
    else if (isLowerPiece(rec_.REC_RESULT[rec_.RECORD_POS]))
        next = UE_BISHOP;
    // Against the computer it makes the upper side's move at once.
    setTurn(next >= UE_BISHOP ? Side::Upper : Side::Lower);
    playOn();
}

void Game::firstPress(int x, int y) {
    const int piece = s_.BOARD[x][y];
    if (piece == EMPTY) return;
    if (s_.CHECK_ACTIVE && s_.CHECK_SQUARES[x][y] == FALSE_CODE) {
        warnCheckPiece();
        out_.checkPiecesBlink();
        return;
    }
    CLICK_MOVE.移動元X = x;
    CLICK_MOVE.移動元Y = y;
    CLICK_MOVE.移動前駒 = CLICK_MOVE.移動駒 = piece;
    const bool own = ownsPiece(piece);
    if (own) session_.SELECT_STATE = 1;
    out_.piecePicked(x, y, piece, own, options_.GUIDANCE != 0);
}

std::optional<Move> Game::secondPress(int Button, int x, int y) {
    CLICK_MOVE.移動先X = x;
    CLICK_MOVE.移動先Y = y;
    const int t = s_.BOARD[x][y];
    const bool moversPiece = ownerOf(t) == s_.SIDE;
    const bool othersPiece = ownerOf(t) == opposite(s_.SIDE);
    if (moversPiece || othersPiece) {
        // A mover's piece takes the selection over; an opponent's piece is shown instead,
        // with the refusal sound, since pieces never take by moving onto one another.
        if (othersPiece) out_.soundDue(Wave::Forbidden);
        const Square from = CLICK_MOVE.from();
        CLICK_MOVE.移動元X = x;
        CLICK_MOVE.移動元Y = y;
        CLICK_MOVE.移動前駒 = CLICK_MOVE.移動駒 = t;
        out_.pickMoved(from, x, y, t, moversPiece, options_.GUIDANCE != 0);
        const bool unmarked = othersPiece || s_.CHECK_SQUARES[x][y] == FALSE_CODE;
        if (s_.CHECK_ACTIVE && unmarked) {
            warnCheckPiece();
            out_.marksCleared();
            out_.checkPiecesBlink();
        }
        return std::nullopt;
    }

    const int sx = CLICK_MOVE.移動元X, sy = CLICK_MOVE.移動元Y, p = CLICK_MOVE.移動駒;
    if (!s_.移動チェック(sx, sy, x, y, p) || opponentsPiece(p)) {
        out_.soundDue(Wave::Forbidden);
        return std::nullopt;
    }
    // Only a right-button press on the destination promotes, where promotion is allowed.
    int arriving = p;
    if (s_.調査_駒成(sx, sy, x, y, p) && Button == RIGHT_BUTTON) arriving = 成駒(p);
    CLICK_MOVE.移動駒 = arriving;
    return Move{sx, sy, x, y, p, arriving};
}

} // namespace zubeki
