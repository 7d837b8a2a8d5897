#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "game/state.h"
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
    std::optional<std::filesystem::path> records; // folder for game-0001.棋譜, …
};

// A uniform index in [0, n) from one draw; the same on every platform, unlike the standard
// distributions.
int uniformIndex(std::mt19937& rng, int n);

// A move chosen for a game: found is false when there was none.
struct ChosenMove {
    bool found = false;
    int fromX = 0, fromY = 0, toX = 0, toY = 0;
    int before = EMPTY; // code on the source
    int after = EMPTY;  // code it arrives with
};

// Any legal move of one side, promoting on a coin toss where promotion is allowed.
ChosenMove randomMove(GameState& s, bool upper, std::mt19937& rng);
// The computer's move as a chosen move.
ChosenMove fromComputer(const ComputerMove& c);

enum class GameOutcome { UpperWin, LowerWin, Draw, Unfinished };

// Plays the game on from its position, `side` (+1 upper, -1 lower) to move, through the pass
// rule and the move chain, asking `choose` for each move; answers how it ended (unfinished at
// 500 moves) and counts the moves played into `moves`.
GameOutcome playOut(Game& play, int side, int& moves,
                    const std::function<ChosenMove(int side)>& choose);

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
    std::string error;              // a record that could not be written; the run stops there
};

// Plays one game, number `game` (1-based) of the run with this seed; odd games open with the
// lower side, even games with the upper side. `list` is left holding the game's moves.
SelfplayGame playSelfplayGame(const SelfplayOptions& options, int game, MoveList& list);

// Plays options.games games and writes their records when asked.
SelfplaySummary selfplay(const SelfplayOptions& options);

// The record's name without its extension: "game-0001".
std::string selfplayRecordName(int game);

std::string selfplayJson(const SelfplaySummary& summary);

} // namespace zubeki::cli
