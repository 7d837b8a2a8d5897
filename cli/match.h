#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "ai/match_stats.h"
#include "cli/json.h"
#include "cli/selfplay.h"
#include "engine/engine_player.h"
#include "play/computer.h"

namespace zubeki::cli {

struct SprtBounds {
    double elo0 = 0, elo1 = 5, alpha = 0.05, beta = 0.05;
};

// Who plays one side of a match: the computer at a level, LEVEL4 within its budget per move.
struct MatchPlayer {
    int level = 3;
    ThinkBudget budget;
    // An engine program in place of the built-in level: its command and its options.
    std::optional<engine::EngineSettings> engine;
};

// The engine processes one worker keeps for its games: one per side that is an engine.
struct EngineSeats {
    std::unique_ptr<engine::EnginePlayer> a, b;
};

struct MatchOptions {
    MatchPlayer a{4, {}, {}};
    MatchPlayer b{3, {}, {}};
    int games = 2;     // rounded up to whole pairs
    int firstPair = 1; // the number of the first pair played, counting from 1 for the seed
    int openings = 4;  // random moves that open each pair of games
    std::uint32_t seed = 1;
    int concurrency = 1;
    std::optional<std::filesystem::path> records; // folder for match-0001.棋譜, …
    std::optional<SprtBounds> sprt;
    std::optional<ReadPosition> start; // where every pair begins, instead of the starting position
};

// One game of a match: pair p's opening, A on the upper side or the lower.
struct MatchGame {
    bool aUpper = true;
    engine::EngineFault faultA = engine::EngineFault::None; // how an engine lost, if it did
    engine::EngineFault faultB = engine::EngineFault::None;
    std::string faultText;
    GameOutcome outcome = GameOutcome::Unfinished;
    int moves = 0;
    MoveList list;
};

struct MatchSummary {
    long long games = 0;
    long long winsA = 0;
    long long winsB = 0;
    long long draws = 0;
    long long unfinished = 0; // still running after 500 moves; counted as draws in the score
    long long moves = 0;
    long long crashes = 0;  // games an engine lost by ending
    long long timeouts = 0; // by giving no move in time
    long long illegal = 0;  // by an illegal move
    double seconds = 0;
    PairCounts pairs;     // by the half-points A took from each pair, 0..4
    GameCounts trinomial; // A's wins, draws (unfinished games too) and losses
    double score = 0.5;   // A's share of the points
    EloEstimate elo;
    double los = 0.5;
    std::optional<SprtResult> sprt;
    std::vector<MatchGame> each; // in order: the first pair with A upper, then A lower, …
    std::string error;           // the first record that could not be written; none after it was
};

// The player that sits at one side of one game; its clock digits come from the game's
// generator `rng` through `digit`.
std::unique_ptr<Player> seatPlayer(const MatchPlayer& who, std::mt19937& rng, int& digit);

// Plays game `second ? 2 : 1` of the pair numbered `pair` + 1 (so `pair` counts from 0, from
// the first pair of the seed whatever options.firstPair says): the pair's seeded opening, then
// the two players, A upper in the first game and lower in the second.
// Engines sit in `seats`, which keeps their processes from game to game.
MatchGame playMatchGame(const MatchOptions& options, int pair, bool second,
                        EngineSeats* seats = nullptr);

// Plays the match on options.concurrency threads. The answer depends only on the options (with
// node budgets), not on the number of threads: pairs are counted in order, and a verdict of the
// SPRT stops the match after the pair that reached it. Records are written after the games;
// one that cannot be written is named in `error` and the records after it are not attempted.
MatchSummary match(const MatchOptions& options);

// Fills in the score, Elo, LOS and, with bounds, the SPRT from the pair and game counts.
void matchFigures(MatchSummary& summary, const std::optional<SprtBounds>& sprt);

// The counts of a match result as matchJson wrote them; nullopt with `error` set when `json`
// is not such a result or its counts do not agree with one another.
std::optional<MatchSummary> matchCounts(const JsonValue& json, std::string& error);

// The results added up, with their figures, as if one run had played every pair; the seconds
// are the sum of the runs'.
MatchSummary mergeMatches(const std::vector<MatchSummary>& parts,
                          const std::optional<SprtBounds>& sprt);

std::string matchJson(const MatchSummary& summary);

// The name of a player in records and messages: "COM LEVEL 4".
std::string playerName(const MatchPlayer& player);

// The record name of game `game` of the seed, counting from 1 over every pair: "match-0001".
std::string matchRecordName(long long game);

} // namespace zubeki::cli
