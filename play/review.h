#pragma once

// The review of a finished (or unfinished) game: LEVEL4 searches every position of it once,
// and each move is given the engine's move and line in the position before it, the score
// after it, the mover's winning chance before and after, and a verdict. No Qt.
//
// Threads: GameReview runs the whole review on a std::thread of its own, which searches on as
// many threads as the budget names (one position each, so that a node budget answers the same
// on any number of them). Progress comes on those threads, one call at a time, entries in
// order; result() may be read from any thread at any time; stop() (or the destructor) ends
// the searches at once and joins. analyseGame() is the same review on the caller's thread.

#include "game/position.h"
#include "play/computer.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace zubeki {

// The scale of the winning chance, in LEVEL4's score units: win = 1 / (1 + exp(-score / s)).
// Fitted by maximum likelihood with tools/fit_win_scale.py on the 8009 positions of 200 LEVEL4
// games against itself (--seed 777, --nodes 20000, four random opening moves; games the
// evaluation's weights were not fitted to), scored by the review's own default budget, with the
// side to move's offset below taken off: 3186 (log-loss 0.641 against 0.692 for the share the
// lower side won; the hand-set weights' scores gave 0.687). A drop of ten points of chance is
// some 1300 points of score.
inline constexpr double WIN_CHANCE_SCALE = 3186;
// What a LEVEL4 score gives the side to move over a score of the same position with the other
// side to move, fitted with the scale: the review takes it off every position's score, so that
// the score (and the chance) does not swing with the side to move from one move to the next.
// Half the difference of the mean scores with either side to move on those games (662): 331.
inline constexpr int MOVER_OFFSET = 331;

// The chance that the side a LEVEL4 score belongs to wins: a forced win 1, a forced loss 0.
double winChance(int score);

enum class Verdict { None, Inaccuracy, Mistake, Blunder };
// "inaccuracy", "mistake", "blunder"; nullptr for None.
const char* verdictName(Verdict v);

// Drops of the mover's winning chance at which a move is marked.
inline constexpr double INACCURACY_DROP = 0.10;
inline constexpr double MISTAKE_DROP = 0.20;
inline constexpr double BLUNDER_DROP = 0.30;

// A score as the review gives it: a number, or a forced result in moves of the game.
struct ReviewScore {
    enum class Kind { Value, Win, Loss };
    Kind kind = Kind::Value;
    int value = 0; // the score for Value, the moves to the end for Win and Loss

    // From a LEVEL4 score (a win in n moves is kWinScore - n).
    static ReviewScore of(int level4Score);
    friend bool operator==(const ReviewScore&, const ReviewScore&) = default;
};

struct ReviewEntry {
    int index = 0;          // 0-based, in the review's list (passes included)
    int n = 0;              // the move's number; a pass shares it with the move after it
    int side = 0;           // -1 lower, +1 upper
    Move move;              // the pass is a move of zeros
    Move best;              // the engine's move in the position before
    std::vector<Move> pv;   // the engine's line from that position, best first
    ReviewScore score;      // after the move, for the lower side
    double winBefore = 0.5; // the mover's chance, before and after the move
    double winAfter = 0.5;
    double loss = 0; // the drop counted against the move (0 for the engine's move)
    Verdict verdict = Verdict::None;
    bool ends = false; // the move ends the game (its score is the result)
};

struct ReviewSideSummary {
    int moves = 0; // moves counted (passes are not)
    int inaccuracies = 0;
    int mistakes = 0;
    int blunders = 0;
    double averageLoss = 0;
};

struct ReviewResult {
    std::vector<ReviewEntry> entries; // in order; fewer than `total` while it runs or if stopped
    int total = 0;
    ReviewSideSummary lower, upper;
    bool complete = false;
};

// A game to review: the position it starts from, the side to move there, and the moves, a
// side without a legal move playing the pass.
struct ReviewGame {
    Position start;
    int side = -1;
    std::vector<Move> moves;
};

// Checks every move in turn and puts in the pass of a side that has no move where the record
// leaves it out. nullopt with the reason (naming the move) for an illegal move or a move
// after the game has ended.
std::optional<ReviewGame> prepareReview(const Position& start, int side,
                                        const std::vector<Move>& moves, std::string& why);

// What LEVEL4 answered for one position, as the mover sees it.
struct ReviewSearch {
    int score = 0; // LEVEL4's score for the side to move
    Move best;
    std::vector<Move> pv;
};

// The verdict on a move from the searches before and after it. `before` is the search of
// the position the mover moved in; `afterForMover` the mover's score after the move (a won
// game kWinScore, a drawn one 0).
struct Judgement {
    double winBefore = 0.5, winAfter = 0.5, loss = 0;
    Verdict verdict = Verdict::None;
};
Judgement judgeMove(const Move& played, const ReviewSearch& before, int afterForMover);

// The per-side counts and average loss of the entries.
void summariseReview(ReviewResult& r);

// The review's budget when none is given: a node budget, so that the same game always gets
// the same review, small enough for a 100-move game in well under 30 s on two cores; the
// positions are searched on every core.
inline constexpr std::uint64_t REVIEW_NODES = 60000;
ThinkBudget defaultReviewBudget();

using ReviewProgress = std::function<void(const ReviewEntry& entry, int done, int total)>;

// Reviews the game on the caller's thread and budget.threads - 1 more; `stop` (may be null)
// ends it at once with the entries finished so far. `earlier` are entries of the game's first
// moves already made (a review of the game before it went on): only the moves after them are
// searched, and they come first in the result.
ReviewResult analyseGame(const ReviewGame& game, const ThinkBudget& budget,
                         const std::atomic<bool>* stop = nullptr,
                         const ReviewProgress& progress = {},
                         const std::vector<ReviewEntry>& earlier = {});

class ReviewAnalysis;

// The review one position at a time on the caller's thread, for a front end that has no
// threads to give it and must answer in between (the page's worker). The same searches and
// entries as analyseGame() on one thread.
class ReviewSteps {
  public:
    ReviewSteps(ReviewGame game, const ThinkBudget& budget,
                const std::vector<ReviewEntry>& earlier = {});
    ~ReviewSteps();
    ReviewSteps(const ReviewSteps&) = delete;
    ReviewSteps& operator=(const ReviewSteps&) = delete;

    // Searches the next position of the game: the entries that completes, in order (none
    // while a pass waits for the position after it, none once finished).
    std::vector<ReviewEntry> step();
    bool finished() const;
    ReviewResult result() const;

  private:
    const ReviewGame game_;
    std::vector<ReviewEntry> made_;
    const ReviewProgress progress_;
    Computer computer_;
    std::size_t noted_ = 0;
    std::unique_ptr<ReviewAnalysis> analysis_;
};

// A review running on a thread of its own, for the window.
class GameReview {
  public:
    GameReview(ReviewGame game, ThinkBudget budget, ReviewProgress progress = {},
               std::vector<ReviewEntry> earlier = {});
    ~GameReview(); // stops and waits
    GameReview(const GameReview&) = delete;
    GameReview& operator=(const GameReview&) = delete;

    void stop();           // the searches end within milliseconds; joins the thread
    bool finished() const; // done or stopped
    ReviewResult result() const;

  private:
    mutable std::mutex mutex_;
    ReviewResult result_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> finished_{false};
    std::thread thread_;
};

} // namespace zubeki
