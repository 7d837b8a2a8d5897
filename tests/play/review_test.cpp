// The review: the verdict's rules on given searches, and a review on its own thread that
// reports every move in order, answers as the caller's own would, and stops when told.

#include "game/moves.h"
#include "game/position_text.h"
#include "play/review.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <thread>

using namespace zubeki;

namespace {

constexpr int kWin = Level4Search::kWinScore;

// The score whose winning chance is `p`.
int scoreFor(double p) {
    return static_cast<int>(std::lround(-WIN_CHANCE_SCALE * std::log(1 / p - 1)));
}

TEST(Review, JudgesTheDropOfTheMoversChance) {
    const Move engines{1, 7, 1, 6, SITA_ROOK, SITA_ROOK};
    const Move other{3, 7, 3, 6, SITA_ROOK, SITA_ROOK};
    struct Case {
        const char* name;
        int before; // the mover's score before, with the engine's move
        int after;  // the mover's score after the move played
        bool playedEngines;
        Verdict verdict;
    };
    const Case cases[] = {
        {"a small drop", 0, scoreFor(0.45), false, Verdict::None},
        {"an inaccuracy", 0, scoreFor(0.38), false, Verdict::Inaccuracy},
        {"a mistake", 0, scoreFor(0.28), false, Verdict::Mistake},
        {"a blunder", 0, scoreFor(0.18), false, Verdict::Blunder},
        {"the engine's move, however the search after sees it", 0, scoreFor(0.05), true,
         Verdict::None},
        {"better than the engine thought", scoreFor(0.4), scoreFor(0.6), false, Verdict::None},
        {"a forced win let go for a fine game", kWin - 3, scoreFor(0.95), false, Verdict::Mistake},
        {"a forced win kept, only slower", kWin - 3, kWin - 5, false, Verdict::None},
        {"a loss slower than the engine's line", -(kWin - 4), -(kWin - 8), false, Verdict::None},
        {"lets the win in one in where the engine parried", -(kWin - 4), -(kWin - 1), false,
         Verdict::Blunder},
        {"every move lets it in", -(kWin - 2), -(kWin - 1), false, Verdict::None},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ReviewSearch before;
        before.score = c.before;
        before.best = engines;
        const Judgement j = judgeMove(c.playedEngines ? engines : other, before, c.after);
        EXPECT_EQ(j.verdict, c.verdict);
        EXPECT_GE(j.loss, 0);
        if (c.playedEngines) {
            EXPECT_EQ(j.loss, 0);
        }
    }
}

ReviewGame someGame(int moves) {
    const ReadPosition start = 局面読込(START_POSITION);
    Position s = start.state;
    int side = start.side;
    std::vector<Move> played;
    for (int i = 0; i < moves; ++i) {
        LegalMoves legal;
        合法手一覧(s, side, legal);
        played.push_back(legal.at[(i * 7) % legal.size]);
        s = 指し手後(s, side, played.back()).state;
        side = -side;
    }
    std::string why;
    const std::optional<ReviewGame> g = prepareReview(start.state, start.side, played, why);
    EXPECT_TRUE(g) << why;
    return g.value_or(ReviewGame{});
}

TEST(Review, OnItsOwnThreadReportsInOrderAndAnswersAsTheCallersOwn) {
    const ReviewGame game = someGame(6);
    ThinkBudget budget;
    budget.nodes = 4000;
    budget.threads = 2;
    std::vector<int> reported;
    std::mutex reportedMutex;
    GameReview review(game, budget, [&](const ReviewEntry& e, int done, int total) {
        std::lock_guard lock(reportedMutex);
        reported.push_back(e.index);
        EXPECT_EQ(done, e.index + 1);
        EXPECT_EQ(total, 6);
    });
    while (!review.finished()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    const ReviewResult r = review.result();
    ASSERT_TRUE(r.complete);
    EXPECT_EQ(reported, (std::vector<int>{0, 1, 2, 3, 4, 5}));

    budget.threads = 1;
    const ReviewResult alone = analyseGame(game, budget);
    ASSERT_EQ(alone.entries.size(), r.entries.size());
    for (std::size_t i = 0; i < r.entries.size(); ++i) {
        EXPECT_EQ(r.entries[i].pv, alone.entries[i].pv);
        EXPECT_EQ(r.entries[i].score, alone.entries[i].score);
        EXPECT_EQ(r.entries[i].verdict, alone.entries[i].verdict);
    }
}

TEST(Review, GoesOnFromTheEntriesAlreadyMade) {
    // The game reviewed as far as move 3, then gone on: the moves after are reviewed as a
    // review of the whole game reviews them, and the first three are kept as they were.
    const ReviewGame game = someGame(6);
    ThinkBudget budget;
    budget.nodes = 4000;
    budget.threads = 1;
    const ReviewResult whole = analyseGame(game, budget);
    std::vector<ReviewEntry> first(whole.entries.begin(), whole.entries.begin() + 3);
    first[0].verdict = Verdict::Blunder; // not searched again
    GameReview review(game, budget, {}, first);
    while (!review.finished()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    const ReviewResult r = review.result();
    ASSERT_TRUE(r.complete);
    ASSERT_EQ(r.entries.size(), 6U);
    EXPECT_EQ(r.entries[0].verdict, Verdict::Blunder);
    EXPECT_EQ(r.lower.blunders + r.upper.blunders,
              1 + (whole.lower.blunders + whole.upper.blunders) -
                  (whole.entries[0].verdict == Verdict::Blunder));
    for (std::size_t i = 3; i < 6; ++i) {
        EXPECT_EQ(r.entries[i].index, static_cast<int>(i));
        EXPECT_EQ(r.entries[i].pv, whole.entries[i].pv);
        EXPECT_EQ(r.entries[i].score, whole.entries[i].score);
    }
}

TEST(Review, OnePositionAtATimeAnswersAsTheWholeReview) {
    // Each entry comes with the search of the position after its move, in order.
    const ReviewGame game = someGame(6);
    ThinkBudget budget;
    budget.nodes = 4000;
    budget.threads = 1;
    const ReviewResult whole = analyseGame(game, budget);
    ReviewSteps steps(game, budget);
    std::vector<ReviewEntry> made;
    int calls = 0;
    while (!steps.finished() && ++calls < 100)
        for (const ReviewEntry& e : steps.step()) made.push_back(e);
    EXPECT_TRUE(steps.step().empty());
    ASSERT_EQ(made.size(), whole.entries.size());
    for (std::size_t i = 0; i < made.size(); ++i) {
        EXPECT_EQ(made[i].index, static_cast<int>(i));
        EXPECT_EQ(made[i].pv, whole.entries[i].pv);
        EXPECT_EQ(made[i].score, whole.entries[i].score);
        EXPECT_EQ(made[i].verdict, whole.entries[i].verdict);
    }
    EXPECT_EQ(steps.result().lower.moves, whole.lower.moves);
    EXPECT_EQ(steps.result().upper.inaccuracies, whole.upper.inaccuracies);
}

TEST(Review, StopsAtOnceWhenTold) {
    ThinkBudget budget;
    budget.ms = 600000; // ten minutes a position: only the stop ends this
    budget.threads = 2;
    GameReview review(someGame(8), budget);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    review.stop();
    EXPECT_TRUE(review.finished());
    EXPECT_FALSE(review.result().complete);
    EXPECT_EQ(review.result().total, 8);
}

} // namespace
