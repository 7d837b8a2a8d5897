#include "play/game.h"

#include <string>
#include <thread>

#include "game/moves.h"
#include "game/position_text.h"

namespace zubeki {

// --- the move chain ---

void Game::終了(std::string_view 勝手) {
    out_.soundDue(Wave::GameEnd);
    if (勝手.empty())
        out_.ask({Say::Drawn});
    else
        out_.ask({Say::Wins, std::string(勝手)});
    // The game is kept for looking back on once the new position is set up.
    ended_ = GameRecord{listStart_, rec_, rec_.RECORD_MODE == TRUE_CODE, listStartManSide_, setUp_};
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

MoveOutcome Game::指し手実行(const Move& m, const ShowMove& show) {
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
        if (stopOnline()) return outcome;
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

void Game::begin(Side side, Player* lower, Player* upper) {
    setPlayers(lower, upper);
    setTurn(side);
    startText_ = 局面表記(s_, sign(side));
    line_.clear();
}

Player& Game::playerFor(Side side) {
    return *players_[side == Side::Upper ? 1 : 0];
}

void Game::setTurn(Side side) {
    session_.TURN = session_.codeFor(side);
    s_.SIDE = side;
}

void Game::handOver() {
    session_.TURN = session_.TURN == SIDE_SENTE ? SIDE_GOTE : SIDE_SENTE;
    s_.SIDE = sideOfSign(session_.side());
}

Turn Game::playTurn() {
    Turn t;
    if (session_.side() == 0) return t;
    const Side side = sideOfSign(session_.side());
    t.side = side;
    Player& player = playerFor(side);
    if (!player.ready()) return t;
    // Every position a side is to move in counts for LEVEL4's repetitions, whoever plays it.
    computer_.note(s_);

    // A side without any legal move passes; the second pass in a row draws the game.
    if (!s_.hasMove(side)) {
        s_.SIDE = side;
        player.passed();
        if (s_.play(Move{}).end == GameEnd::Draw) {
            t.result = TurnResult::Drawn;
            if (!stopOnline()) 終了("");
            return t;
        }
        t.result = TurnResult::Passed;
        line_.push_back(Move{});
        out_.ask({player.passText()});
        handOver();
        return t;
    }

    pause_ = 0.5;
    const std::optional<Move> m = player.choose(*this, side);
    if (out_.ended()) {
        t.result = TurnResult::Stopped;
        return t;
    }
    if (!m) return t;
    t.move = *m;
    LegalMoves legal;
    合法手一覧(s_, sign(side), legal);
    bool listed = false;
    for (const Move& l : legal) listed = listed || (l == *m && !l.pass());
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
            return t.side == Side::Upper ? GameOutcome::UpperWin : GameOutcome::LowerWin;
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

ComputerMove Game::思考(Side side) {
    return computer_.choose(s_, side, session_.LEVEL, clock());
}

ComputerMove Game::thinkKeepingAlive(Side side, int level) {
    if (level < LEVEL_MAX) return computer_.choose(s_, side, level, clock());
    // The search reads a copy, so the window can draw the board while it runs.
    Position position = s_;
#if defined(__EMSCRIPTEN__) && !defined(__EMSCRIPTEN_PTHREADS__)
    // A build without threads (the browser's worker): the search runs here and the caller waits.
    return computer_.choose(position, side, level, clock());
#endif
    std::atomic<bool> stop{false};
    std::atomic<bool> done{false};
    ComputerMove m;
    std::thread thinker([&] {
        m = computer_.choose(position, side, level, clock(), &stop);
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

std::optional<Move> Game::computerMove(Side side, int level, const ThinkBudget& budget) {
    out_.thinking(side);

    computer_.budget = budget;
    const double started = out_.clockSeconds();
    const ComputerMove m = thinkKeepingAlive(side, level);
    if (out_.ended()) return std::nullopt;
    if (!m.found) return std::nullopt; // cannot happen after the pass test
    // LEVEL4 thinks during the pause the computer takes anyway: only what is left of it remains.
    if (level >= LEVEL_MAX) {
        const double thought = out_.clockSeconds() - started;
        pause_ = thought >= pause_ ? 0 : pause_ - thought;
    }
    return static_cast<const Move&>(m);
}

std::optional<Move> Game::PersonAtBoard::choose(Game& game, Side) {
    pressed = false;
    return game.takePress(Button, x, y);
}

std::optional<Move> ComputerPlayer::choose(Game& game, Side side) {
    // Level 0: the menu's level and the game's budget.
    const int level = level_ > 0 ? level_ : game.session().LEVEL;
    return game.computerMove(side, level, level_ > 0 ? budget_ : game.budget());
}

} // namespace zubeki
