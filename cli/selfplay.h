#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "game/position_text.h"
#include "game/position.h"
#include "play/computer.h"
#include "play/game.h"
#include "record/movelist.h"

namespace zubeki::cli {

struct SelfplayOptions {
    int games = 1;
    std::uint32_t seed = 1;
    int level = 3;
    ThinkBudget budget;         // LEVEL4's, per move
    bool lowerComputer = false; // the lower side is the computer too, on the turned board
    int openings = 0;           // seeded random moves that open each game, whoever makes them
    std::optional<std::filesystem::path> records; // folder for game-0001.棋譜, …
    std::optional<ReadPosition> start; // where every game begins, instead of the starting position
};

// Sets up `play` at the start: the position given, with its side to move, or the starting
// position with `side` to move.
Side setUpStart(Game& play, const std::optional<ReadPosition>& start, Side side);

using zubeki::GameOutcome;
using zubeki::uniformIndex;

// The computer at a level whose clock digit is drawn from a game's own generator before each
// of its moves, and noted.
class SeededComputer : public ComputerPlayer {
  public:
    SeededComputer(int level, const ThinkBudget& budget, std::mt19937& rng, int& digit,
                   std::vector<int>* digits = nullptr)
        : ComputerPlayer(level, budget), rng_(rng), digit_(digit), digits_(digits) {}
    std::optional<Move> choose(Game& game, Side side) override;

  private:
    std::mt19937& rng_;
    int& digit_;
    std::vector<int>* digits_;
};

// The first moves of a game drawn at random, whichever side makes them, then the player
// `then`. The openers of both sides share `played`, the opening moves made so far.
class OpeningPlayer : public Player {
  public:
    OpeningPlayer(std::mt19937& rng, int& played, int count, Player& then)
        : random_(rng), played_(played), count_(count), then_(then) {}
    std::optional<Move> choose(Game& game, Side side) override {
        return played_++ < count_ ? random_.choose(game, side) : then_.choose(game, side);
    }
    bool isComputer() const override { return then_.isComputer(); }
    Say passText() const override { return then_.passText(); }

  private:
    RandomPlayer random_;
    int& played_;
    int count_;
    Player& then_;
};

struct SelfplayGame {
    GameOutcome outcome = GameOutcome::Unfinished;
    int moves = 0;
    std::array<std::array<int, 10>, 10> board{}; // BOARD at the end, [x][y]
    std::vector<int> digits; // the clock digit drawn for each of the computer's moves
};

struct SelfplaySummary {
    int games = 0;
    int upperWins = 0;
    int lowerWins = 0;
    int draws = 0;
    int unfinished = 0;
    long long moves = 0;
    double seconds = 0;             // time spent playing, records not included
    std::vector<SelfplayGame> each; // one entry per game, in order
    std::string error;              // the first record that could not be written; none after it was
};

// Plays one game, number `game` (1-based) of the run with this seed; odd games open with the
// lower side, even games with the upper side, and the first options.openings moves are drawn
// from the game's generator. `list` is left holding the game's moves.
SelfplayGame playSelfplayGame(const SelfplayOptions& options, int game, MoveList& list);

// Plays options.games games and writes their records when asked. A record that cannot be
// written is named in `error`; the games go on, and no later record is attempted.
SelfplaySummary selfplay(const SelfplayOptions& options);

// The record's name without its extension: "game-0001".
std::string selfplayRecordName(int game);

std::string selfplayJson(const SelfplaySummary& summary);

} // namespace zubeki::cli
