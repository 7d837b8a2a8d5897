#include "ai/match_stats.h"

#include <cmath>
#include <limits>

namespace zubeki {

namespace {

constexpr double kZ95 = 1.959963984540054; // two-sided 95 % point of the normal distribution

// Mean and variance of samples scored `value[i]` with frequency `count[i]`, each frequency
// taken `prior` higher; n is the number of real samples.
struct Moments {
    double n = 0;
    double mean = 0.5;
    double variance = 0;
};

Moments moments(const double* value, const std::int64_t* count, int kinds, double prior) {
    Moments m;
    double weight = 0;
    for (int i = 0; i < kinds; ++i) {
        m.n += static_cast<double>(count[i]);
        weight += static_cast<double>(count[i]) + prior;
    }
    if (weight == 0) return m;
    double sum = 0;
    for (int i = 0; i < kinds; ++i) sum += value[i] * (static_cast<double>(count[i]) + prior);
    m.mean = sum / weight;
    double squares = 0;
    for (int i = 0; i < kinds; ++i)
        squares +=
            (static_cast<double>(count[i]) + prior) * (value[i] - m.mean) * (value[i] - m.mean);
    m.variance = squares / weight;
    return m;
}

constexpr double kGameValue[3] = {1.0, 0.5, 0.0};
constexpr double kPairValue[5] = {0.0, 0.25, 0.5, 0.75, 1.0};

Moments gameMoments(const GameCounts& c, double prior = 0) {
    const std::int64_t count[3] = {c.wins, c.draws, c.losses};
    return moments(kGameValue, count, 3, prior);
}

Moments pairMoments(const PairCounts& c, double prior = 0) {
    return moments(kPairValue, c.pairs, 5, prior);
}

EloEstimate estimate(const Moments& m, const Moments& regularised) {
    EloEstimate e;
    e.elo = eloFromScore(m.mean);
    if (m.n == 0) return e;
    const double variance = m.variance > 0 ? m.variance : regularised.variance;
    const double half = kZ95 * std::sqrt(variance / m.n);
    e.lower = eloFromScore(m.mean - half);
    e.upper = eloFromScore(m.mean + half);
    return e;
}

SprtResult test(const Moments& m, double elo0, double elo1, double alpha, double beta) {
    SprtResult r;
    r.lower = std::log(beta / (1 - alpha));
    r.upper = std::log((1 - beta) / alpha);
    if (m.n > 0 && m.variance > 0) {
        const double s0 = scoreFromElo(elo0);
        const double s1 = scoreFromElo(elo1);
        r.llr = m.n * (s1 - s0) * (2 * m.mean - s0 - s1) / (2 * m.variance);
    }
    if (r.llr >= r.upper)
        r.verdict = SprtVerdict::AcceptH1;
    else if (r.llr <= r.lower)
        r.verdict = SprtVerdict::AcceptH0;
    return r;
}

} // namespace

double matchScore(const GameCounts& c) {
    return gameMoments(c).mean;
}

double matchScore(const PairCounts& c) {
    return pairMoments(c).mean;
}

double eloFromScore(double score) {
    if (score <= 0) return -std::numeric_limits<double>::infinity();
    if (score >= 1) return std::numeric_limits<double>::infinity();
    // Written so that an even score gives 0, not -0.
    return 400.0 * std::log10(score / (1.0 - score));
}

double scoreFromElo(double elo) {
    return 1.0 / (1.0 + std::pow(10.0, -elo / 400.0));
}

EloEstimate eloEstimate(const GameCounts& c) {
    return estimate(gameMoments(c), gameMoments(c, PRIOR_COUNT));
}

EloEstimate eloEstimate(const PairCounts& c) {
    return estimate(pairMoments(c), pairMoments(c, PRIOR_COUNT));
}

double likelihoodOfSuperiority(const GameCounts& c) {
    const double decisive = static_cast<double>(c.wins + c.losses);
    if (decisive == 0) return 0.5;
    return 0.5 *
           (1.0 + std::erf(static_cast<double>(c.wins - c.losses) / std::sqrt(2.0 * decisive)));
}

SprtResult sprt(const GameCounts& c, double elo0, double elo1, double alpha, double beta) {
    return test(gameMoments(c, PRIOR_COUNT), elo0, elo1, alpha, beta);
}

SprtResult sprt(const PairCounts& c, double elo0, double elo1, double alpha, double beta) {
    return test(pairMoments(c, PRIOR_COUNT), elo0, elo1, alpha, beta);
}

} // namespace zubeki
