#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "ai/match_stats.h"
#include "cli/selfplay.h"
#include "play/computer.h"

namespace zubeki::cli {

struct SprtBounds {
    double elo0 = 0, elo1 = 5, alpha = 0.05, beta = 0.05;
};

struct MatchOptions {
    int levelA = 4;
    int levelB = 3;
    int games = 2;    // rounded up to whole pairs
    int openings = 4; // random moves that open each pair of games
    std::uint32_t seed = 1;
    ThinkBudget budgetA; // LEVEL4's budgets, per move
    ThinkBudget budgetB;
    int concurrency = 1;
    std::optional<std::filesystem::path> records; // folder for match-0001.棋譜, …
    std::optional<SprtBounds> sprt;
    std::optional<ReadPosition> start; // where every pair begins, instead of the starting position
};

// One game of a match: pair p's opening, A on the upper side or the lower.
struct MatchGame {
    bool aUpper = true;
    GameOutcome outcome = GameOutcome::Unfinished;
    int moves = 0;
    MoveList list;
};

struct MatchSummary {
    int games = 0;
    int winsA = 0;
    int winsB = 0;
    int draws = 0;
    int unfinished = 0; // still running after 500 moves; counted as draws in the score
    long long moves = 0;
    double seconds = 0;
    double score = 0.5; // A's share of the points
    EloEstimate elo;
    double los = 0.5;
    std::optional<SprtResult> sprt;
    std::vector<MatchGame> each; // in order: pair 1 with A upper, pair 1 with A lower, …
    std::string error;           // a record that could not be written
};

// Plays game `second ? 2 : 1` of pair `pair` (0-based): the pair's seeded opening, then the
// two computers, A upper in the first game and lower in the second.
MatchGame playMatchGame(const MatchOptions& options, int pair, bool second);

// Plays the match on options.concurrency threads. The answer depends only on the options (with
// node budgets), not on the number of threads: pairs are counted in order, and a verdict of the
// SPRT stops the match after the pair that reached it.
MatchSummary match(const MatchOptions& options);

std::string matchJson(const MatchSummary& summary);

// The name of a player in records and messages: "COM LEVEL 4".
std::string playerName(int level);

} // namespace zubeki::cli
