#include "play/game.h"

#include <algorithm>
#include <string>
#include <thread>

#include "game/moves.h"
#include "game/notation.h"
#include "game/position_text.h"

namespace zubeki {

// --- start-up and set-up ---

void Game::startUp() {
    // The window's LEVEL4 and its hints think on every core, within the same second.
    computer_.budget.threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    options_.GUIDANCE = 0;
    session_.LEVEL = 3;
    options_.GUIDANCE = 1;
    options_.GUIDE_COLOUR = COLOUR_WHITE;
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
    out_.positionShown(PositionShown::NewGame, s_, s_.MOVE_COUNT);
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
    s_.MOVE_COUNT = 0;
}

// --- game starts and options ---

void Game::START() {
    out_.twoPlayerGame();
    session_.MAN_SIDE = SIDE_SENTE;
    session_.COM_SIDE = SIDE_GOTE;
    session_.TURN = session_.MAN_SIDE;
    s_.SIDE = Side::Lower;
    session_.PLAY_MODE = MODE_MAN;
    setPlayers(&person_, &person_);
    out_.ask({Say::FirstPlayersTurn});
}

void Game::SENTE() {
    out_.ask({Say::YourTurn});
    againstTheComputer(SIDE_SENTE, SIDE_GOTE);
}

void Game::GOTE() {
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

// --- the move chain ---

void Game::終了(std::string_view 勝手) {
    out_.sound(Wave::GameEnd);
    if (勝手.empty())
        out_.ask({Say::Drawn});
    else
        out_.ask({Say::Wins, std::string(勝手)});
    // The game is kept for looking back on once the new position is set up.
    ended_ = GameRecord{listStart_, rec_, rec_.RECORD_MODE == TRUE_CODE, listStartManSide_};
    if (out_.ask({Say::PlayAgain}) == Answer::Yes)
        初期設定();
    else
        out_.quit();
}

bool Game::手順保存(int 移動元X, int 移動元Y, int 移動先X, int 移動先Y, int 移動元駒,
                    int 移動先駒) {
    if (rec_.手順保存(移動元X, 移動元Y, 移動先X, 移動先Y, 移動元駒, 移動先駒,
                      s_.BOARD[移動先X][移動先Y]))
        return true;
    // The list holds 500 moves: the game goes on, the later moves are not recorded.
    ++unrecorded_;
    if (!recordFullTold_) {
        recordFullTold_ = true;
        out_.ask({Say::RecordFull});
    }
    return false;
}

MoveOutcome Game::指し手実行(const PlayedMove& m, const ShowMove& show) {
    手順保存(m.移動元X, m.移動元Y, m.移動先X, m.移動先Y, m.移動前駒, m.移動駒);
    if (!show.computer) session_.SELECT_STATE = 0;
    // The rules carry the move out at once; the listener is then told it step by step.
    const Position before = s_;
    s_.SIDE = m.side();
    const MoveOutcome outcome = s_.play(m);
    const MoveEvent e{m, s_.MOVE_COUNT, show.computer, show.pause, outcome.check};
    out_.moveBegun(e);
    out_.pieceMoved(e);
    out_.checksSet(e);
    showCaptures(before, outcome);
    if (outcome.end != GameEnd::None) {
        if (show.computer)
            終了("ｺﾝﾋﾟｭｰﾀ");
        else if (session_.PLAY_MODE == MODE_MAN)
            終了(session_.TURN == SIDE_SENTE ? "先手" : "後手");
        else
            終了("MAN");
        return outcome;
    }
    if (show.computer) out_.computerMoveShown(e);
    return outcome;
}

void Game::showCaptures(const Position& before, const MoveOutcome& outcome) {
    // Each group in turn, its squares in the order the rules emptied them.
    int next = 0;
    for (int g = 0; g < outcome.groups; ++g) {
        SquareList squares;
        int pieces[81] = {};
        for (; next < outcome.groupEnd[g]; ++next) {
            const Square sq = outcome.captured.at[next];
            pieces[squares.size] = before.BOARD[sq.x][sq.y];
            squares.add(sq.x, sq.y);
        }
        out_.groupCaptured(squares, pieces);
    }
}

// --- players and turns ---

void Game::setPlayers(Player* lower, Player* upper) {
    players_[0] = lower ? lower : &person_;
    players_[1] = upper ? upper : &person_;
}

void Game::begin(int side, Player* lower, Player* upper) {
    setPlayers(lower, upper);
    setTurn(side);
    startText_ = 局面表記(s_, side);
    line_.clear();
}

Player& Game::playerFor(int side) {
    return *players_[side > 0 ? 1 : 0];
}

void Game::setTurn(int side) {
    session_.TURN = session_.codeFor(sideOfSign(side));
    s_.SIDE = sideOfSign(side);
}

void Game::handOver() {
    session_.TURN = session_.TURN == SIDE_SENTE ? SIDE_GOTE : SIDE_SENTE;
    s_.SIDE = sideOfSign(session_.side());
}

Turn Game::playTurn() {
    Turn t;
    t.side = session_.side();
    if (t.side == 0) return t;
    Player& player = playerFor(t.side);
    if (!player.ready()) return t;
    // Every position a side is to move in counts for LEVEL4's repetitions, whoever plays it.
    computer_.note(s_);

    // A side without any legal move passes; the second pass in a row draws the game.
    if (!s_.hasMove(sideOfSign(t.side))) {
        s_.SIDE = sideOfSign(t.side);
        if (s_.play(Move{}).end == GameEnd::Draw) {
            t.result = TurnResult::Drawn;
            終了("");
            return t;
        }
        t.result = TurnResult::Passed;
        line_.push_back(PlayedMove{});
        out_.ask({player.passText()});
        handOver();
        return t;
    }

    pause_ = 0.5;
    const std::optional<PlayedMove> m = player.choose(*this, t.side);
    if (out_.ended()) {
        t.result = TurnResult::Stopped;
        return t;
    }
    if (!m) return t;
    t.move = *m;
    LegalMoves legal;
    合法手一覧(s_, t.side, legal);
    bool listed = false;
    for (const PlayedMove& l : legal) listed = listed || (l == *m && !l.pass());
    if (!listed) {
        t.result = TurnResult::Illegal;
        return t;
    }
    line_.push_back(*m);
    t.outcome = 指し手実行(*m, {player.isComputer(), pause_});
    if (t.outcome.end != GameEnd::None) {
        t.result = TurnResult::Won;
        return t;
    }
    t.result = TurnResult::Moved;
    handOver();
    return t;
}

void Game::playOn() {
    for (;;) {
        const TurnResult r = playTurn().result;
        if (r != TurnResult::Moved && r != TurnResult::Passed) return;
    }
}

GameOutcome Game::playToEnd(int& moves) {
    for (;;) {
        if (rec_.full()) return GameOutcome::Unfinished; // the 500-move limit
        const Turn t = playTurn();
        switch (t.result) {
        case TurnResult::Moved:
            ++moves;
            break;
        case TurnResult::Passed:
            break;
        case TurnResult::Won:
            ++moves;
            return t.side > 0 ? GameOutcome::UpperWin : GameOutcome::LowerWin;
        case TurnResult::Drawn:
            return GameOutcome::Draw;
        default:
            return GameOutcome::Unfinished;
        }
    }
}

// --- the computer ---

ClockDigit Game::clock() {
    return ClockDigit{[](const void* outside) {
                          return static_cast<GameEvents*>(const_cast<void*>(outside))->clockDigit();
                      },
                      &out_};
}

ComputerMove Game::思考(bool upper) {
    return computer_.choose(s_, upper, session_.LEVEL, clock());
}

ComputerMove Game::thinkKeepingAlive(bool upper, int level) {
    if (level < LEVEL_MAX) return computer_.choose(s_, upper, level, clock());
    // The search reads a copy, so the window can draw the board while it runs.
    Position position = s_;
    std::atomic<bool> stop{false};
    std::atomic<bool> done{false};
    ComputerMove m;
    std::thread thinker([&] {
        m = computer_.choose(position, upper, level, clock(), &stop);
        done = true;
    });
    out_.思考待ち(done);
    if (out_.ended()) stop = true;
    thinker.join();
    return m;
}

void Game::com_ban() {
    playOn();
}

std::optional<PlayedMove> Game::computerMove(int side, int level, const ThinkBudget& budget) {
    out_.thinking(sideOfSign(side));

    computer_.budget = budget;
    const double started = out_.clockSeconds();
    const ComputerMove m = thinkKeepingAlive(side > 0, level);
    if (out_.ended()) return std::nullopt;
    if (!m.found) return std::nullopt; // cannot happen after the pass test
    // LEVEL4 thinks during the pause the computer takes anyway: only what is left of it remains.
    if (level >= LEVEL_MAX) {
        const double thought = out_.clockSeconds() - started;
        pause_ = thought >= pause_ ? 0 : pause_ - thought;
    }
    return PlayedMove{m.移動元X, m.移動元Y, m.移動先X, m.移動先Y, m.移動前駒, m.移動駒};
}

std::optional<PlayedMove> Game::PersonAtBoard::choose(Game& game, int) {
    pressed = false;
    return game.takePress(Button, x, y);
}

std::optional<PlayedMove> ComputerPlayer::choose(Game& game, int side) {
    // Level 0: the menu's level and the game's budget.
    const int level = level_ > 0 ? level_ : game.session().LEVEL;
    return game.computerMove(side, level, level_ > 0 ? budget_ : game.budget());
}

void Game::ヒント() {
    if (session_.TURN == NO_SIDE) {
        out_.sound(Wave::Forbidden);
        out_.ask({Say::StartFirst});
        return;
    }
    clearHint();
    const bool upper = session_.side() > 0;
    const ComputerMove m = thinkKeepingAlive(upper, LEVEL_MAX);
    if (out_.ended()) return;
    if (!m.found) {
        out_.ask({Say::NoMoveToHint});
        return;
    }
    hint_[0] = {m.移動元X, m.移動元Y};
    hint_[1] = {m.移動先X, m.移動先Y};
    // Drawn after the check outlines, so the hint shows over them.
    out_.hintOutlined(hint_[0], hint_[1]);
    const int piece = s_.BOARD[m.移動元X][m.移動元Y];
    out_.showHint({m.移動元X, m.移動元Y, m.移動先X, m.移動先Y, piece, m.移動駒 != piece});
}

void Game::clearHint() {
    if (hint_[0].x == 0) return;
    out_.hintCleared(hint_[0], hint_[1]);
    hint_[0] = hint_[1] = {};
}

// --- the two presses ---

bool Game::ownsPiece(int code) const {
    return (session_.TURN == session_.MAN_SIDE && code <= 0) ||
           (session_.TURN == session_.COM_SIDE && code >= 0);
}

bool Game::opponentsPiece(int code) const {
    return (session_.TURN == session_.MAN_SIDE && code >= 0) ||
           (session_.TURN == session_.COM_SIDE && code <= 0);
}

void Game::warnCheckPiece() {
    out_.sound(Wave::Forbidden);
    out_.ask({Say::MoveACheckPiece});
}

void Game::press(int Button, int x, int y) {
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
    if (r == TurnResult::Moved || r == TurnResult::Passed) playOn();
}

std::optional<PlayedMove> Game::takePress(int Button, int x, int y) {
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
        out_.sound(Wave::Forbidden);
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
    setTurn(next >= UE_BISHOP ? 1 : -1);
    playOn();
}

void Game::firstPress(int x, int y) {
    const int piece = s_.BOARD[x][y];
    if (piece == EMPTY) return;
    if (s_.CHECK_ACTIVE == TRUE_CODE && s_.CHECK_SQUARES[x][y] == FALSE_CODE) {
        warnCheckPiece();
        out_.checkPiecesBlink();
        return;
    }
    CLICK_MOVE.fromX = x;
    CLICK_MOVE.fromY = y;
    CLICK_MOVE.piece = piece;
    const bool own = ownsPiece(piece);
    if (own) session_.SELECT_STATE = 1;
    out_.piecePicked(x, y, piece, own, options_.GUIDANCE != 0);
}

std::optional<PlayedMove> Game::secondPress(int Button, int x, int y) {
    CLICK_MOVE.toX = x;
    CLICK_MOVE.toY = y;
    const int t = s_.BOARD[x][y];
    const bool moversPiece = (session_.TURN == session_.MAN_SIDE && t <= SITA_BISHOP) ||
                             (session_.TURN == session_.COM_SIDE && t >= UE_BISHOP);
    const bool othersPiece = (session_.TURN == session_.MAN_SIDE && t >= UE_BISHOP) ||
                             (session_.TURN == session_.COM_SIDE && t <= SITA_BISHOP);
    if (moversPiece || othersPiece) {
        // A mover's piece takes the selection over; an opponent's piece is shown instead,
        // with the refusal sound, since pieces never take by moving onto one another.
        if (othersPiece) out_.sound(Wave::Forbidden);
        const Square from{CLICK_MOVE.fromX, CLICK_MOVE.fromY};
        CLICK_MOVE.fromX = x;
        CLICK_MOVE.fromY = y;
        CLICK_MOVE.piece = t;
        out_.pickMoved(from, x, y, t, moversPiece, options_.GUIDANCE != 0);
        const bool unmarked = othersPiece || s_.CHECK_SQUARES[x][y] == FALSE_CODE;
        if (s_.CHECK_ACTIVE == TRUE_CODE && unmarked) {
            warnCheckPiece();
            out_.marksCleared();
            out_.checkPiecesBlink();
        }
        return std::nullopt;
    }

    const int sx = CLICK_MOVE.fromX, sy = CLICK_MOVE.fromY, p = CLICK_MOVE.piece;
    if (!s_.移動チェック(sx, sy, x, y, p) || opponentsPiece(p)) {
        out_.sound(Wave::Forbidden);
        return std::nullopt;
    }
    // Only a right-button press on the destination promotes, where promotion is allowed.
    int arriving = p;
    if (s_.調査_駒成(sx, sy, x, y, p) && Button == RIGHT_BUTTON) arriving = 成駒(p);
    CLICK_MOVE.piece = arriving;
    return PlayedMove{sx, sy, x, y, p, arriving};
}

// --- navigation: the move list replayed square by square, never the rules ---

bool Game::refuseUnrecorded(bool back) {
    // Past the 500th move the board has moved on from the list's last entry: replaying the
    // list against it would put pieces where they no longer stand.
    if (unrecorded_ == 0) return false;
    out_.sound(Wave::Forbidden);
    out_.ask({back ? Say::UnrecordedBack : Say::UnrecordedForward});
    return true;
}

void Game::REPLAY() {
    out_.closeRecordPanel();
    if (refuseUnrecorded(true)) return;
    if (rec_.RECORD_POS < 1) {
        out_.sound(Wave::Forbidden);
        out_.ask({Say::CannotBack});
        return;
    }
    session_.SELECT_STATE = 0;
    const int n = rec_.RECORD_POS;
    const StepEvent e{rec_.REC_FROM_X[n], rec_.REC_FROM_Y[n], rec_.REC_TO_X[n],  rec_.REC_TO_Y[n],
                      rec_.REC_PIECE[n],  rec_.REC_TARGET[n], s_.MOVE_COUNT - 1, quietSteps_};
    s_.BOARD[e.fromX][e.fromY] = e.piece;
    s_.BOARD[e.toX][e.toY] = e.target;
    // The check squares as they stood after the previous move; before move 1 there were none.
    if (n > 1) {
        s_.調査_チェック桝(rec_.REC_TO_X[n - 1], rec_.REC_TO_Y[n - 1]);
    } else {
        s_.clearCheck();
    }
    session_.TURN = NO_SIDE;
    rec_.RECORD_POS -= 1;
    s_.MOVE_COUNT -= 1;
    out_.steppedBack(e, s_);
}

void Game::AFTER() {
    out_.closeRecordPanel();
    if (refuseUnrecorded(false)) return;
    if (rec_.RECORD_POS >= rec_.RECORD_LEN) {
        out_.sound(Wave::Forbidden);
        out_.ask({rec_.RECORD_MODE == TRUE_CODE ? Say::RecordEnds : Say::CannotForward});
        return;
    }
    session_.SELECT_STATE = 0;
    rec_.RECORD_POS += 1;
    s_.MOVE_COUNT += 1;
    const int n = rec_.RECORD_POS;
    const StepEvent e{rec_.REC_FROM_X[n], rec_.REC_FROM_Y[n], rec_.REC_TO_X[n],
                      rec_.REC_TO_Y[n],   rec_.REC_RESULT[n], EMPTY,
                      s_.MOVE_COUNT,      quietSteps_};
    s_.BOARD[e.fromX][e.fromY] = EMPTY;
    s_.BOARD[e.toX][e.toY] = e.piece;
    s_.調査_チェック桝(e.toX, e.toY);
    session_.TURN = NO_SIDE;
    out_.steppedForward(e, s_);
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
        return {listStart_, rec_, rec_.RECORD_MODE == TRUE_CODE, listStartManSide_};
    return ended_;
}

void Game::showGameMove(const GameRecord& game, int n, const PlayedMove& best) {
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
        out_.positionShown(PositionShown::Reviewed, s_, s_.MOVE_COUNT);
    }
    stepTo(n);
    if (best.pass() || rec_.RECORD_POS != n) return;
    hint_[0] = {best.移動元X, best.移動元Y};
    hint_[1] = {best.移動先X, best.移動先Y};
    out_.hintOutlined(hint_[0], hint_[1]);
}

int GameRecord::firstSide() const {
    return isLowerPiece(moves.REC_PIECE[1]) ? -1 : 1;
}

std::vector<PlayedMove> GameRecord::played() const {
    std::vector<PlayedMove> out;
    for (int n = 1; n <= moves.RECORD_LEN; ++n)
        out.push_back({moves.REC_FROM_X[n], moves.REC_FROM_Y[n], moves.REC_TO_X[n],
                       moves.REC_TO_Y[n], moves.REC_PIECE[n], moves.REC_RESULT[n]});
    return out;
}

void Game::CANCEL() {
    初期設定();
}

void Game::REVERSE() {
    if (rec_.RECORD_MODE == TRUE_CODE) {
        out_.sound(Wave::Forbidden);
        out_.ask({Say::NotInRecordMode});
        return;
    }
    if (s_.MOVE_COUNT == 0) {
        out_.sound(Wave::Forbidden);
        out_.ask({Say::NotFromTheStart});
        return;
    }
    // Half a turn about the centre square, every piece changing sides.
    s_ = 反転(s_);
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
}

} // namespace zubeki
