#pragma once

// LEVEL4: iterative deepening alpha-beta (principal variation search) over the real rules,
// with a transposition table, for either side, on one thread or several sharing the table.
// No Qt; meant to run on a worker thread.

#include "ai/clock.h"
#include "ai/level4_position.h"
#include "game/position.h"
#include "game/squares.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace zubeki {

// One line of what the search reports: a root move, its score and the moves it expects after it.
struct Level4Line {
    int multipv = 1;              // 1: the best move
    int depth = 0;                // the iteration that scored this line
    int seldepth = 0;             // the deepest ply that iteration reached
    int score = 0;                // for the side to move, as Level4Move::score
    std::vector<zubeki::Move> pv; // from the root; a side without a move plays the pass (zeros)
};

// What the search has found so far: after each finished iteration, and once at the end.
struct Level4Report {
    std::vector<Level4Line> lines; // best first
    std::uint64_t nodes = 0;       // over all threads
    double ms = 0;                 // since the search began, on the limits' clock
    int hashfull = 0;              // permille of the table this search has written
    bool final = false;            // the last report: line 1 begins with the move answered
};

// Called on the thread that called bestMove, never on a helper thread.
using Level4Reporter = std::function<void(const Level4Report&)>;

// How long LEVEL4 may think. Any mix of budgets may be given; the first one used up ends
// the search. Budgets are only looked at once the one-move search is complete, so a win in
// one is always taken and a threatened win in one always parried; `stop` ends the search
// at once whatever it has done.
struct Level4Limits {
    double timeMs = 0;       // 0: no time budget
    std::uint64_t nodes = 0; // 0: no node budget (alone, the search is deterministic)
    int depth = 0;           // 0: up to Level4Search::kMaxDepth
    const std::atomic<bool>* stop = nullptr; // set from another thread to stop at once
    SearchClock clock{};                     // read by the calling thread only
    int multiPV = 1; // 1..8 best root moves, each with its line; 1 costs nothing more
    // Called after each finished iteration and once at the end; null: no reports (and no
    // clock reads for them). A pointer, so that limits stay cheap to copy; it must outlive
    // the search.
    const Level4Reporter* report = nullptr;
    // Think to the end of the time budget, as engines do for a fixed time a move, keeping what
    // the unfinished iteration found; otherwise no iteration starts after half the budget.
    bool wholeTime = false;
};

// What LEVEL4 answers: the game's move (squares 1..9, the game's codes), or the pass of a side
// without a legal move, with what the search saw.
struct Level4Move : Move {
    bool found = false;      // false: the side has no legal move and passes
    int score = 0;           // for the mover; a win in n plies is kWinScore - n, a loss negated
    int depth = 0;           // deepest iteration completed
    int seldepth = 0;        // the deepest ply that iteration reached
    std::uint64_t nodes = 0; // over all threads
};

// The positions the game has already been through, as keys of the board the search is
// given (level4PositionKey). The search counts a return to one of them, or to a position of
// its own line, as no progress: a draw, which the searching side values a little below
// nothing so that it looks for a way on.
struct Level4History {
    const std::uint64_t* keys = nullptr;
    int size = 0;
};

// The key the search gives the game as it stands with `side` to move.
std::uint64_t level4PositionKey(const zubeki::Position& 局面, Side side);

class Level4Search {
  public:
    static constexpr int kWinScore = 30000;
    static constexpr int kMaxDepth = 60;
    // Moves the game's record holds; at this count the game is unfinished (scored 0).
    static constexpr int kMoveLimit = 500;
    // What a repeated position is worth to the searching side: a draw it does not want.
    static constexpr int kContempt = 40;
    static constexpr int kMaxContempt = 400;
    static constexpr int kMaxThreads = 256;
    static constexpr int kMaxMultiPV = 8;

    // The transposition table (a power of two of 16-byte entries within the size, 1..1024 MB),
    // the working space and the helper threads are made here, once; a search allocates
    // nothing (but the lines it reports, the first time it reports that many).
    explicit Level4Search(int tableMegabytes = 16, int threads = 1);
    ~Level4Search();
    Level4Search(const Level4Search&) = delete;
    Level4Search& operator=(const Level4Search&) = delete;

    // 1..kMaxThreads threads search together: the caller's and helpers, which are started
    // here and wait for searches. Not while a search runs.
    void setThreads(int n);
    int threads() const;
    // A new table (1..1024 MB). Not while a search runs.
    void setTableMegabytes(int megabytes);

    // The best move for `side` in the game as it stands (BOARD, CHECK_ACTIVE / CHECK_SQUARES,
    // PASS_COUNT), `movesPlayed` moves into the game (MOVE_COUNT). The game state is only
    // read. Every search starts from an empty table, so on one thread a node budget gives the
    // same move for the same position every time. Helper threads start one or two iterations
    // ahead of the caller's; with one line asked for, a thread that finishes an iteration
    // hands it on and the others leave it. The caller's thread decides the move (taking a
    // helper's deeper finished iteration, or a better move a helper found deeper than the
    // caller looked), keeps the budgets and stops the helpers when it stops.
    Level4Move bestMove(const zubeki::Position& 局面, Side side, int movesPlayed,
                        const Level4Limits& limits, const Level4History& history = {});

    static bool isWinScore(int score) { return score > kWinScore - 1000; }
    static bool isLossScore(int score) { return score < -(kWinScore - 1000); }

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// The static evaluation LEVEL4 uses at the horizon, for the side to move (exposed for tests
// and for tuning). `mine` and `theirs` are working space for the two sides' group scans.
int level4Evaluate(const level4::Position& p, level4::GroupScan& mine, level4::GroupScan& theirs);

} // namespace zubeki
