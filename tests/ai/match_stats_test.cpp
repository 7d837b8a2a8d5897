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
    EXPECT_DOUBLE_EQ(sprt(GameCounts{0, 5, 0}, 0, 10, 0.05, 0.05).llr, 0.0);
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

// Bounds for alpha = beta = 0.05: ln(0.05/0.95) = -2.9444 and +2.9444.
// Games 60/20/20 against [0, 10]: 100 (s1 - s0)(2·0.7 - s0 - s1) / (2·0.16) = 1.7337.
// Ten times the games: ten times the ratio. 200/200/600 (score 0.3, variance 0.16): -18.6308.
// Pairs as above against [0, 50]: 50 (s1 - s0)(2·0.565 - s0 - s1) / (2·0.059525) = 1.7569.
const SprtCase kSprtCases[] = {
    {"GamesContinue", false, {60, 20, 20}, {}, 0, 10, 1.73371, SprtVerdict::Continue},
    {"GamesAcceptH1", false, {600, 200, 200}, {}, 0, 10, 17.3371, SprtVerdict::AcceptH1},
    {"GamesAcceptH0", false, {200, 200, 600}, {}, 0, 10, -18.6308, SprtVerdict::AcceptH0},
    {"PairsContinue", true, {}, {{2, 8, 20, 15, 5}}, 0, 50, 1.75692, SprtVerdict::Continue},
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

} // namespace
} // namespace zubeki
