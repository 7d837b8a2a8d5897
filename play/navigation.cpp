#include "play/game.h"

#include <algorithm>
#include <cstdlib>

namespace zubeki {

// --- navigation: the move list replayed square by square, never the rules ---

bool Game::refuseUnrecorded(bool back) {
    // Past the 500th move the board has moved on from the list's last entry: replaying the
    // list against it would put pieces where they no longer stand.
    if (unrecorded_ == 0) return false;
    out_.soundDue(Wave::Forbidden);
    out_.ask({back ? Say::UnrecordedBack : Say::UnrecordedForward});
    return true;
}

void Game::REPLAY() {
    out_.closeRecordPanel();
    if (refuseUnrecorded(true)) return;
    if (rec_.RECORD_POS < 1) {
        out_.soundDue(Wave::Forbidden);
        out_.ask({Say::CannotBack});
        return;
    }
    session_.SELECT_STATE = 0;
    const int n = rec_.RECORD_POS;
    const StepEvent e{rec_.REC_FROM_X[n], rec_.REC_FROM_Y[n], rec_.REC_TO_X[n],  rec_.REC_TO_Y[n],
                      rec_.REC_PIECE[n],  rec_.REC_TARGET[n], s_.MOVE_COUNT - 1, quietSteps_};
    const Move before = rec_.move(n - 1);
    s_.stepBack(rec_.move(n), e.target, n > 1 ? &before : nullptr);
    session_.TURN = NO_SIDE;
    rec_.RECORD_POS -= 1;
    out_.steppedBack(e, s_);
}

void Game::AFTER() {
    out_.closeRecordPanel();
    if (refuseUnrecorded(false)) return;
    if (rec_.RECORD_POS >= rec_.RECORD_LEN) {
        out_.soundDue(Wave::Forbidden);
        out_.ask({rec_.RECORD_MODE == TRUE_CODE ? Say::RecordEnds : Say::CannotForward});
        return;
    }
    session_.SELECT_STATE = 0;
    rec_.RECORD_POS += 1;
    const int n = rec_.RECORD_POS;
    const StepEvent e{rec_.REC_FROM_X[n], rec_.REC_FROM_Y[n], rec_.REC_TO_X[n],
                      rec_.REC_TO_Y[n],   rec_.REC_RESULT[n], EMPTY,
                      s_.MOVE_COUNT + 1,  quietSteps_};
    s_.stepForward(rec_.move(n));
    session_.TURN = NO_SIDE;
    out_.steppedForward(e, s_);
}

void Game::待った() {
    out_.closeRecordPanel();
    if (session_.PLAY_MODE != MODE_COM || rec_.RECORD_MODE == TRUE_CODE) {
        out_.soundDue(Wave::Forbidden);
        out_.ask({Say::TakeBackComputerOnly});
        return;
    }
    // Against the computer the player has the lower pieces: the computer's moves at the end of
    // the list go back, then the player's own move before them.
    int n = rec_.RECORD_POS;
    while (n >= 1 && !isLowerPiece(rec_.REC_PIECE[n])) --n;
    if (n < 1 || unrecorded_ > 0) {
        out_.soundDue(Wave::Forbidden);
        out_.ask({Say::CannotTakeBack});
        return;
    }
    clearHint();
    const int taken = rec_.RECORD_POS - (n - 1);
    stepTo(n - 1);
    if (rec_.RECORD_POS != n - 1) return;
    dropMovesAfterPosition(taken);
    // No 再開 box: the player simply moves again, and the computer waits for that move.
    session_.SELECT_STATE = 0;
    setTurn(Side::Lower);
}

void Game::dropMovesAfterPosition(int taken) {
    rec_.RECORD_LEN = rec_.RECORD_POS;
    // The engine's line loses the same moves, with any passes among them.
    while (taken > 0 && !line_.empty()) {
        if (!line_.back().pass()) --taken;
        line_.pop_back();
    }
}

void Game::stepTo(int n) {
    n = std::clamp(n, 0, rec_.RECORD_LEN);
    session_.TURN = NO_SIDE; // the game stops where it is shown, as after 戻
    while (rec_.RECORD_POS != n) {
        const int before = rec_.RECORD_POS;
        quietSteps_ = std::abs(n - before) > 1;
        if (before > n)
            REPLAY();
        else
            AFTER();
        quietSteps_ = false;
        if (rec_.RECORD_POS == before) return; // refused, and told so
    }
}

namespace {

// Does `list` begin with the moves of `game`?
bool beginsWith(const MoveList& list, const MoveList& game) {
    if (list.RECORD_LEN < game.RECORD_LEN) return false;
    for (int n = 1; n <= game.RECORD_LEN; ++n)
        if (list.REC_FROM_X[n] != game.REC_FROM_X[n] || list.REC_FROM_Y[n] != game.REC_FROM_Y[n] ||
            list.REC_TO_X[n] != game.REC_TO_X[n] || list.REC_TO_Y[n] != game.REC_TO_Y[n] ||
            list.REC_PIECE[n] != game.REC_PIECE[n] || list.REC_RESULT[n] != game.REC_RESULT[n])
            return false;
    return true;
}

bool sameBoard(const Position& a, const Position& b) {
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y)
            if (a.BOARD[x][y] != b.BOARD[x][y]) return false;
    return true;
}

} // namespace

GameRecord Game::gameToReview() const {
    if (rec_.RECORD_LEN > 0)
        return {listStart_, rec_, rec_.RECORD_MODE == TRUE_CODE, listStartManSide_, setUp_};
    return ended_;
}

void Game::showGameMove(const GameRecord& game, int n, const Move& best) {
    out_.closeRecordPanel();
    clearHint();
    if (!sameBoard(listStart_, game.start) || !beginsWith(rec_, game.moves)) {
        // The game looked back on comes back to the board, with the players and level of now.
        s_ = game.start;
        session_.TURN = NO_SIDE;
        session_.SELECT_STATE = 0;
        listStart_ = game.start;
        listStartManSide_ = game.manSide;
        rec_ = game.moves;
        rec_.RECORD_POS = 0;
        rec_.RECORD_MODE = game.fromFile ? TRUE_CODE : FALSE_CODE;
        recordFullTold_ = false;
        unrecorded_ = 0;
        setUp_ = game.setUp;
        setUpStart_ = game.start;
        out_.positionShown(PositionShown::Reviewed, s_, s_.MOVE_COUNT);
    }
    stepTo(n);
    if (best.pass() || rec_.RECORD_POS != n) return;
    hint_[0] = {best.移動元X, best.移動元Y};
    hint_[1] = {best.移動先X, best.移動先Y};
    out_.hintOutlined(hint_[0], hint_[1]);
}

bool GameRecord::goesOn(const GameRecord& earlier) const {
    return moves.RECORD_LEN > earlier.moves.RECORD_LEN && sameBoard(start, earlier.start) &&
           beginsWith(moves, earlier.moves);
}

bool GameRecord::fromStart() const {
    return sameBoard(start, Position::start());
}

int GameRecord::firstSide() const {
    return isLowerPiece(moves.REC_PIECE[1]) ? -1 : 1;
}

ZbkGame GameRecord::toZbk(int n) const {
    ZbkGame out{start, {}};
    for (int i = 1; i <= std::min(n, moves.RECORD_LEN); ++i) out.moves.push_back(moves.move(i));
    // After 反転 the 対局 item chose who moved first: the list's first move tells.
    if (!out.moves.empty()) out.start.SIDE = out.moves.front().side();
    return out;
}

std::vector<Move> GameRecord::played() const {
    std::vector<Move> out;
    for (int n = 1; n <= moves.RECORD_LEN; ++n) out.push_back(moves.move(n));
    return out;
}

void Game::CANCEL() {
    // A game from a set-up position goes back no further than that position.
    if (setUp_)
        setUpPosition(setUpStart_);
    else
        初期設定();
}

void Game::REVERSE() {
    if (rec_.RECORD_MODE == TRUE_CODE) {
        out_.soundDue(Wave::Forbidden);
        out_.ask({Say::NotInRecordMode});
        return;
    }
    if (s_.MOVE_COUNT == 0 && !setUp_) {
        out_.soundDue(Wave::Forbidden);
        out_.ask({Say::NotFromTheStart});
        return;
    }
    // Half a turn about the centre square, every piece changing sides.
    const Side toMove = sideShown();
    s_ = 反転(s_);
    // The army that was to move in a set-up position still is: it now has the other codes.
    if (setUp_) s_.SIDE = opposite(toMove);
    session_.REVERSED = TRUE_CODE;
    session_.SELECT_STATE = 0;
    out_.positionShown(PositionShown::Turned, s_, s_.MOVE_COUNT);
    // The list starts afresh from the turned position, and so does its 500-move notice.
    rec_.clear();
    listStart_ = s_;
    listStartManSide_ = session_.MAN_SIDE;
    recordFullTold_ = false;
    unrecorded_ = 0;
    session_.TURN = NO_SIDE;
    if (setUp_) setUpStart_ = s_;
}

} // namespace zubeki
