#pragma once

#include "ai/clock.h"
#include "ai/influence.h"
#include "ai/level4.h"
#include "ai/search.h"
#include "game/position.h"

#include <atomic>
#include <cstdint>
#include <memory>

namespace zubeki {

// How long LEVEL4 may think over one move: a time budget, or a node budget (which makes the
// search answer the same move every time, on one thread).
struct ThinkBudget {
    double ms = 1000;        // of the wall clock, however many threads search in it
    std::uint64_t nodes = 0; // when set, it replaces the time budget (counted over all threads)
    // The game stops unfinished at 500 moves (as zubeki-cli's games do); the window's game
    // plays on past them, so there LEVEL4 looks ahead as if there were no such end.
    bool moveLimit = true;
    // Threads LEVEL4 searches on. More threads look deeper in the same time but no longer
    // answer the same move every time for a node budget.
    int threads = 1;
    int depth = 0;           // 0: as deep as the budget allows
    int tableMegabytes = 16; // LEVEL4's table
    int multiPv = 1;         // root moves reported with their lines
    bool wholeMs = false;    // think for all of ms (an engine's fixed time a move)
};

inline constexpr int LEVEL_MAX = 4;

// The computer's choice at any level, for either side. Levels 1..3 are the one-move search of
// the upper side (the lower side plays it on the turned board); LEVEL4 looks many moves ahead
// within its budget, the lower side likewise on the turned board.
class Computer {
  public:
    Computer();
    ~Computer();
    Computer(const Computer&) = delete;
    Computer& operator=(const Computer&) = delete;

    ThinkBudget budget;

    // The move for `side`. The pass test is the
    // caller's; `found` is false only when the side has no legal move. BOARD is left as it was.
    // `stop`, set from another thread, ends a LEVEL4 search at once with what it has.
    // LEVEL4 reports its lines after each iteration to `report`, on the real board.
    ComputerMove choose(Position& 局面, Side side, int level, ClockDigit digit,
                        const std::atomic<bool>* stop = nullptr,
                        const Level4Reporter* report = nullptr);

    // Notes a position of the game with its side to move (the game notes every
    // position a side is to move in). Positions from later in the game than it (a new game,
    // or moves taken back) are forgotten first; the same position twice is noted once.
    void note(const Position& 局面);
    // Makes LEVEL4's table and threads as the budget now asks, so that the next LEVEL4 move
    // starts searching at once (choose does it itself when they were not made). Not while
    // choose runs.
    void prepareLevel4();
    // Forgets every position noted (a new game from elsewhere).
    void forgetPositions() { seen_ = 0; }

  private:
    void remember(const Position& 局面, Side side, const Position& turned);

    // The positions of this game the computer has been asked about, keyed for a search of
    // the upper side on the board as it stands and for one of the lower side on the turned
    // board, so that LEVEL4 can tell a return to one of them whichever side it plays.
    static constexpr int kSeenCapacity = 1024;
    int seenMoves_[kSeenCapacity] = {};
    std::uint64_t seenForUpper_[kSeenCapacity] = {};
    std::uint64_t seenForLower_[kSeenCapacity] = {};
    int seen_ = 0;

    Influence influence_;
    std::unique_ptr<Level4Search> level4_; // made by prepareLevel4 or the first LEVEL4 move
    int tableMegabytes_ = 0;
};

} // namespace zubeki
