#pragma once

// The figures a match between two computer players prints: the score, the logistic Elo
// difference with its 95 % interval, the likelihood of superiority and the sequential
// probability ratio test. No Qt; plain numbers in, plain numbers out.
//
// Two ways of counting are offered. Trinomial: every game on its own, as wins, draws and
// losses of player A. Pentanomial: games in pairs, each opening played twice with the sides
// swapped, counted by the points A took from the pair (0, 1/2, 1, 3/2, 2). The pair counts
// are the better choice for a match played that way: the two games of a pair share their
// opening, so they are not independent, and counting pairs takes that into account.

#include <cstdint>

namespace zubeki {

struct GameCounts {
    std::int64_t wins = 0; // of player A
    std::int64_t draws = 0;
    std::int64_t losses = 0;

    std::int64_t games() const { return wins + draws + losses; }
};

// pairs[k] = pairs of games in which A took k half-points (0..4 of a possible 4).
struct PairCounts {
    std::int64_t pairs[5] = {0, 0, 0, 0, 0};

    std::int64_t total() const { return pairs[0] + pairs[1] + pairs[2] + pairs[3] + pairs[4]; }
};

// A's share of the points, 0..1 (0.5 when nothing has been played).
double matchScore(const GameCounts& c);
double matchScore(const PairCounts& c);

// The Elo difference that makes `score` the expected score of the logistic model:
// -400 log10(1 / score - 1). Plus or minus infinity at a score of 1 or 0.
double eloFromScore(double score);
// The expected score of a player `elo` points stronger: 1 / (1 + 10^(-elo / 400)).
double scoreFromElo(double elo);

struct EloEstimate {
    double elo = 0;
    double lower = 0; // 95 % interval, from the normal approximation of the mean score
    double upper = 0;
};

// The count added to every outcome (each of win, draw, loss; each of the five pair results)
// before the mean and variance the SPRT works from: Jeffreys' prior for counts of this kind.
// Without it a run of identical results has no variance, so the ratio cannot be formed, and
// the first result that differs makes it leap; with it, a sweep is evidence that grows with
// every pair (a sweep of 9 pairs accepts elo1 = 50 against elo0 = 0 at alpha = beta = 0.05)
// and the next result moves the ratio by about what one pair can say. A smaller count, such
// as 0.001, leaves so little variance that two won pairs would accept a 5 Elo gain.
inline constexpr double PRIOR_COUNT = 0.5;

// The interval comes from the variance of the results; where they do not vary at all (every
// pair split, or every pair won), from the variance with PRIOR_COUNT added to every outcome,
// so that it narrows with the number of games instead of vanishing after one.
EloEstimate eloEstimate(const GameCounts& c);
EloEstimate eloEstimate(const PairCounts& c);

// The probability that A is really the stronger, from wins and losses alone (draws say
// nothing about it): 1/2 (1 + erf((W - L) / sqrt(2 (W + L)))). 0.5 when W + L = 0.
double likelihoodOfSuperiority(const GameCounts& c);

enum class SprtVerdict { Continue, AcceptH0, AcceptH1 };

struct SprtResult {
    double llr = 0;   // log-likelihood ratio of H1 (elo1) against H0 (elo0)
    double lower = 0; // ln(beta / (1 - alpha)): at or below it H0 is accepted
    double upper = 0; // ln((1 - beta) / alpha): at or above it H1 is accepted
    SprtVerdict verdict = SprtVerdict::Continue;
};

// The generalised SPRT in its usual normal approximation:
//   LLR = n (s1 - s0) (2 m - s0 - s1) / (2 v),
// with s0, s1 the expected scores of elo0 and elo1 (logistic), n the number of samples, m
// their mean score and v their variance, both taken with PRIOR_COUNT added to the count of
// every outcome. Samples are games for GameCounts and pairs (scored 0, 1/4, .., 1) for
// PairCounts. With no samples the LLR is 0. The caller keeps alpha, beta in (0, 1) with
// alpha + beta < 1, so that the lower bound is below 0 and the upper above.
SprtResult sprt(const GameCounts& c, double elo0, double elo1, double alpha, double beta);
SprtResult sprt(const PairCounts& c, double elo0, double elo1, double alpha, double beta);

} // namespace zubeki
