// The match figures against values worked out by hand (to the digits given).

#include "ai/match_stats.h"

#include <gtest/gtest.h>

#include <cmath>

namespace zubeki {
namespace {

struct GameCase {
    const char* name;
    GameCounts counts;
    double score, elo, lower, upper, los;
};

// 60/20/20: score 0.7, per-game variance (60·0.09 + 20·0.04 + 20·0.49)/100 = 0.16, so the
// mean's standard error is 0.04 and the interval 0.7 ± 0.0784.
// 30/40/30: even, so 0 Elo and a LOS of one half; variance 0.15, interval 0.5 ± 0.0759.
// 10/0/30: score 0.25, variance 0.1875; LOS = (1 + erf(-20 / sqrt(80))) / 2.
const GameCase kGameCases[] = {
    {"Ahead", {60, 20, 20}, 0.7, 147.1907, 86.2250, 218.2518, 0.9999961},
    {"Even", {30, 40, 30}, 0.5, 0.0, -53.1580, 53.1580, 0.5},
    {"Behind", {10, 0, 30}, 0.25, -190.8485, -353.1191, -81.9606, 0.0007827},
};

class GameFigures : public testing::TestWithParam<GameCase> {};

TEST_P(GameFigures, MatchHandValues) {
    const GameCase& c = GetParam();
    EXPECT_NEAR(matchScore(c.counts), c.score, 1e-12);
    const EloEstimate e = eloEstimate(c.counts);
    EXPECT_NEAR(e.elo, c.elo, 1e-3);
    EXPECT_NEAR(e.lower, c.lower, 1e-3);
    EXPECT_NEAR(e.upper, c.upper, 1e-3);
    EXPECT_NEAR(likelihoodOfSuperiority(c.counts), c.los, 1e-6);
}

INSTANTIATE_TEST_SUITE_P(Table, GameFigures, testing::ValuesIn(kGameCases),
                         [](const testing::TestParamInfo<GameCase>& i) {
                             return std::string(i.param.name);
                         });

TEST(MatchStats, EdgesOfTheScale) {
    EXPECT_EQ(eloFromScore(1.0), INFINITY);
    EXPECT_EQ(eloFromScore(0.0), -INFINITY);
    EXPECT_NEAR(scoreFromElo(eloFromScore(0.3)), 0.3, 1e-12);
    // 400 Elo is ten to one.
    EXPECT_NEAR(scoreFromElo(400), 10.0 / 11.0, 1e-12);
    EXPECT_DOUBLE_EQ(matchScore(GameCounts{}), 0.5);
    EXPECT_DOUBLE_EQ(likelihoodOfSuperiority(GameCounts{0, 5, 0}), 0.5);
    EXPECT_DOUBLE_EQ(sprt(GameCounts{}, 0, 10, 0.05, 0.05).llr, 0.0);
    // Five draws no longer leave the ratio at 0: with half a game added to each outcome the
    // mean is 1/2 and the variance 0.25 / 6.5, so it leans a little towards H0's score of 1/2:
    // 5 (s1 - s0)(1 - s0 - s1) / (2 · 0.038462).
    EXPECT_NEAR(sprt(GameCounts{0, 5, 0}, 0, 10, 0.05, 0.05).llr, -0.013454, 1e-6);
}

TEST(MatchStats, PairsScoreByTheHalfPointsTaken) {
    // 2, 8, 20, 15, 5 pairs on 0..4 half-points: mean (8·.25 + 20·.5 + 15·.75 + 5)/50 = 0.565,
    // pair variance 0.059525, standard error sqrt(0.059525/50).
    const PairCounts c{{2, 8, 20, 15, 5}};
    EXPECT_NEAR(matchScore(c), 0.565, 1e-12);
    const EloEstimate e = eloEstimate(c);
    EXPECT_NEAR(e.elo, 45.4237, 1e-3);
    EXPECT_NEAR(e.lower, -1.8247, 1e-3);
    EXPECT_NEAR(e.upper, 94.4153, 1e-3);
}

struct SprtCase {
    const char* name;
    bool pairs;
    GameCounts games;
    PairCounts pairCounts;
    double elo0, elo1, llr;
    SprtVerdict verdict;
};

// Bounds for alpha = beta = 0.05: ln(0.05/0.95) = -2.9444 and +2.9444. Mean m and variance v
// are taken with half a sample added to every outcome (the prior); n is the real count.
// Games 60/20/20 against [0, 10]: 60.5/20.5/20.5 give m = 0.697044, v = 0.160681, and
// 100 (s1 - s0)(2m - s0 - s1) / (2v) = 1.6999. Ten times the games: m = 0.699700,
// v = 0.160070, 17.3026. 200/200/600: m = 0.300300, v = 0.160070, -18.5958.
// Pairs as above against [0, 50]: m = 0.561905, v = 0.062834, 50 (..) / (2v) = 1.4884.
const SprtCase kSprtCases[] = {
    {"GamesContinue", false, {60, 20, 20}, {}, 0, 10, 1.69990, SprtVerdict::Continue},
    {"GamesAcceptH1", false, {600, 200, 200}, {}, 0, 10, 17.3026, SprtVerdict::AcceptH1},
    {"GamesAcceptH0", false, {200, 200, 600}, {}, 0, 10, -18.5958, SprtVerdict::AcceptH0},
    {"PairsContinue", true, {}, {{2, 8, 20, 15, 5}}, 0, 50, 1.48837, SprtVerdict::Continue},
    // Results that do not vary. A sweep decides within a handful of pairs; before the prior
    // its ratio stayed 0 however long it ran. For [0, 50]: k swept pairs give
    // m = (k + 1.25)/(k + 2.5), and v from 0.5, 0.5, 0.5, 0.5, k + 0.5.
    {"OneSweptPairSaysLittle", true, {}, {{0, 0, 0, 0, 1}}, 0, 50, 0.054563, SprtVerdict::Continue},
    {"EightSweptPairsGoOn", true, {}, {{0, 0, 0, 0, 8}}, 0, 50, 2.62755, SprtVerdict::Continue},
    {"NineSweptPairsAcceptH1", true, {}, {{0, 0, 0, 0, 9}}, 0, 50, 3.28078, SprtVerdict::AcceptH1},
    {"SevenLostPairsGoOn", true, {}, {{7, 0, 0, 0, 0}}, 0, 50, -2.48459, SprtVerdict::Continue},
    {"EightLostPairsAcceptH0", true, {}, {{8, 0, 0, 0, 0}}, 0, 50, -3.17148, SprtVerdict::AcceptH0},
    // A game lost after a sweep moves the ratio by what one pair is worth (before the prior it
    // leapt from 0 to over 100 here): 26 swept pairs stay below the bound of [0, 5], 27 with
    // a pair of 3/4 reach it, and so do 28 swept pairs, or 28 and a pair of 3/4.
    {"TwentySixSweptPairsGoOn", true, {}, {{0, 0, 0, 0, 26}}, 0, 5, 2.73346, SprtVerdict::Continue},
    {"ALossAfterTwentySeven", true, {}, {{0, 0, 0, 1, 27}}, 0, 5, 2.96687, SprtVerdict::AcceptH1},
    {"TwentyEightSweptPairs", true, {}, {{0, 0, 0, 0, 28}}, 0, 5, 3.15746, SprtVerdict::AcceptH1},
    {"ALossAfterTwentyEight", true, {}, {{0, 0, 0, 1, 28}}, 0, 5, 3.17662, SprtVerdict::AcceptH1},
    // Every pair split 1-1: the score of H0 exactly, so the ratio leans gently towards it.
    {"EveryPairSplit", true, {}, {{0, 0, 10, 0, 0}}, 0, 5, -0.0103538, SprtVerdict::Continue},
};

class SprtFigures : public testing::TestWithParam<SprtCase> {};

TEST_P(SprtFigures, MatchHandValues) {
    const SprtCase& c = GetParam();
    const SprtResult r = c.pairs ? sprt(c.pairCounts, c.elo0, c.elo1, 0.05, 0.05)
                                 : sprt(c.games, c.elo0, c.elo1, 0.05, 0.05);
    EXPECT_NEAR(r.lower, -2.944439, 1e-6);
    EXPECT_NEAR(r.upper, 2.944439, 1e-6);
    EXPECT_NEAR(r.llr, c.llr, 1e-4);
    EXPECT_EQ(r.verdict, c.verdict);
}

INSTANTIATE_TEST_SUITE_P(Table, SprtFigures, testing::ValuesIn(kSprtCases),
                         [](const testing::TestParamInfo<SprtCase>& i) {
                             return std::string(i.param.name);
                         });

// Pairs whose results do not vary have no variance of their own; the interval then comes
// from the counts with half a pair added to each outcome. k split pairs: v = 0.3125 / (k + 2.5),
// half-width 1.96 sqrt(v / k) around 1/2. Ten swept pairs: m = 1, v = 0.065 (around the
// regularised mean 0.866667), half-width 0.158017, so A is at least 290.64 Elo stronger.
TEST(MatchStats, ResultsThatDoNotVaryStillGiveAnIntervalThatNarrowsWithThePairs) {
    const struct {
        PairCounts counts;
        double elo, lower, upper;
    } cases[] = {
        {{{0, 0, 1, 0, 0}}, 0, -INFINITY, INFINITY}, // one pair: 1/2 ± 0.59, no bound
        {{{0, 0, 10, 0, 0}}, 0, -68.98875, 68.98875},
        {{{0, 0, 100, 0, 0}}, 0, -7.52113, 7.52113},
        {{{0, 0, 0, 0, 10}}, INFINITY, 290.63935, INFINITY},
        {{{10, 0, 0, 0, 0}}, -INFINITY, -INFINITY, -290.63935},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.counts.total());
        const EloEstimate e = eloEstimate(c.counts);
        EXPECT_EQ(e.elo, c.elo);
        EXPECT_FALSE(std::signbit(e.elo) && e.elo == 0) << "an even score is 0, not -0";
        for (const auto& [got, want] : {std::pair{e.lower, c.lower}, std::pair{e.upper, c.upper}}) {
            if (std::isinf(want))
                EXPECT_EQ(got, want);
            else
                EXPECT_NEAR(got, want, 1e-4);
        }
    }
}

} // namespace
} // namespace zubeki
