#include "play/game.h"

#include <algorithm>
#include <thread>

namespace zubeki {

// --- start-up and set-up ---

void Game::startUp(int level, bool guidance) {
    // The window's LEVEL4 and its hints think on every core, within the same second.
    computer_.budget.threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    session_.LEVEL = level;
    setGuidance(guidance);
    session_.SELECT_STATE = 0;
}

void Game::初期設定() {
    s_ = Position::start();
    session_.SELECT_STATE = 0;
    session_.REVERSED = FALSE_CODE;
    session_.TURN = NO_SIDE;
    line_.clear();
    rec_.RECORD_MODE = FALSE_CODE;
    rec_.clear();
    listStart_ = s_;
    listStartManSide_ = session_.MAN_SIDE;
    recordFullTold_ = false;
    unrecorded_ = 0;
    hint_[0] = hint_[1] = {};
    ++setups_;
    setUp_ = false;
    out_.positionShown(PositionShown::NewGame, s_, s_.MOVE_COUNT);
}

void Game::setUpPosition(const Position& p) {
    初期設定();
    s_ = p;
    listStart_ = s_;
    setUpStart_ = s_;
    setUp_ = true;
    out_.positionShown(PositionShown::Restored, s_, s_.MOVE_COUNT);
}

bool Game::loadZbk(const ZbkGame& game) {
    setUpPosition(game.start);
    // The move list holds the moves, not the passes, as a .棋譜 record's list does.
    MoveList moves;
    bool whole = true;
    for (const Move& m : game.moves)
        if (!m.pass() && !moves.手順保存(m.移動元X, m.移動元Y, m.移動先X, m.移動先Y, m.移動前駒,
                                         m.移動駒, EMPTY)) {
            whole = false;
            break;
        }
    loadRecord(moves);
    return whole;
}

Side Game::sideShown() const {
    if (session_.running() || rec_.RECORD_POS == 0)
        return session_.running() ? s_.SIDE : listStart_.SIDE;
    // Stepped through the list: the side that did not make the move shown moves next.
    return isLowerPiece(rec_.REC_RESULT[rec_.RECORD_POS]) ? Side::Upper : Side::Lower;
}

std::string Game::shownText() const {
    Position p = s_;
    p.SIDE = sideShown();
    return p.text();
}

bool Game::refusedForSide(Side itemMoves) {
    if (!setUp_ || session_.running() || sideShown() == itemMoves) return false;
    out_.soundDue(Wave::Forbidden);
    out_.ask({itemMoves == Side::Lower ? Say::UpperToMove : Say::LowerToMove});
    return true;
}

void Game::restore(const Position& state, const MoveList& moves) {
    s_ = state;
    if (session_.running()) s_.SIDE = sideOfSign(session_.side());
    rec_ = moves;
    // Shown before its first move, the position is where the list starts.
    if (moves.RECORD_POS == 0) {
        listStart_ = state;
        listStartManSide_ = session_.MAN_SIDE;
    }
    out_.positionShown(PositionShown::Restored, s_, s_.MOVE_COUNT);
}

void Game::loadRecord(const MoveList& moves) {
    rec_ = moves;
    rec_.RECORD_MODE = TRUE_CODE;
    rec_.RECORD_POS = 0;
    s_.MOVE_COUNT = listStart_.MOVE_COUNT;
}

// --- game starts and options ---

void Game::START() {
    // A set-up position is played on with its own side to move.
    const Side first = setUp_ && !session_.running() ? sideShown() : Side::Lower;
    out_.twoPlayerGame();
    session_.MAN_SIDE = SIDE_SENTE;
    session_.COM_SIDE = SIDE_GOTE;
    session_.TURN = session_.MAN_SIDE;
    s_.SIDE = Side::Lower;
    session_.PLAY_MODE = MODE_MAN;
    setPlayers(&person_, &person_);
    if (first == Side::Upper) {
        setTurn(Side::Upper);
        out_.ask({Say::SecondPlayersTurn});
        return;
    }
    out_.ask({Say::FirstPlayersTurn});
}

void Game::SENTE() {
    if (refusedForSide(Side::Lower)) return;
    out_.ask({Say::YourTurn});
    againstTheComputer(SIDE_SENTE, SIDE_GOTE);
}

void Game::GOTE() {
    if (refusedForSide(Side::Upper)) return;
    againstTheComputer(SIDE_GOTE, SIDE_SENTE);
    com_ban();
}

void Game::againstTheComputer(int manSide, int comSide) {
    out_.levelShown(session_.LEVEL);
    session_.SELECT_STATE = 0;
    session_.MAN_SIDE = manSide;
    session_.COM_SIDE = comSide;
    session_.TURN = SIDE_SENTE; // the first player moves first
    s_.SIDE = manSide == SIDE_SENTE ? Side::Lower : Side::Upper;
    session_.PLAY_MODE = MODE_COM;
    rec_.RECORD_MODE = FALSE_CODE;
    // The player has the lower pieces, the computer the upper ones.
    setPlayers(&person_, &computerPlayer_);
}

void Game::setLevel(int n) {
    session_.LEVEL = n;
    out_.levelShown(n);
}

void Game::setGuidance(bool on) {
    options_.GUIDANCE = on ? 1 : 0;
    options_.GUIDE_COLOUR = on ? COLOUR_WHITE : OUTLINE_COLOUR;
}

} // namespace zubeki
