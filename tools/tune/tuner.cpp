#include "tools/tune/tuner.h"

#include "ai/level4.h"
#include "game/position.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace zubeki::tune {

namespace {

constexpr int kF = level4::kFeatureCount;

double dot(const Sample& s, const Weights& w) {
    double v = 0;
    for (int i = 0; i < kF; ++i)
        v += s.x[static_cast<std::size_t>(i)] * w[static_cast<std::size_t>(i)];
    return v;
}

double sigmoid(double t) {
    return 1.0 / (1.0 + std::exp(-t));
}

// Each feature's root mean square over the samples (1 for a feature that is always 0), so
// that one step of the descent moves every feature's logit alike.
Weights featureScales(const std::vector<Sample>& samples) {
    Weights sd{};
    for (const Sample& s : samples)
        for (std::size_t i = 0; i < sd.size(); ++i) sd[i] += s.x[i] * s.x[i];
    for (double& v : sd) {
        v = samples.empty() ? 0 : std::sqrt(v / static_cast<double>(samples.size()));
        if (v == 0) v = 1;
    }
    return sd;
}

// The mean gradient of the log-loss in the weights, at the given scale.
Weights gradient(const std::vector<Sample>& samples, const Weights& w, double scale) {
    Weights g{};
    for (const Sample& s : samples) {
        const double e = winChance(s, w, scale) - s.result;
        for (std::size_t i = 0; i < g.size(); ++i) g[i] += e * s.x[i];
    }
    const double n = samples.empty() ? 1 : static_cast<double>(samples.size());
    for (double& v : g) v *= scale / n;
    return g;
}

} // namespace

double winChance(const Sample& s, const Weights& w, double scale) {
    return sigmoid(scale * dot(s, w));
}

double largestScore(const std::vector<Sample>& samples, const Weights& w) {
    double most = 0;
    for (const Sample& s : samples) most = std::max(most, std::abs(dot(s, w)));
    return most;
}

double logLoss(const std::vector<Sample>& samples, const Weights& w, double scale) {
    if (samples.empty()) return 0;
    double sum = 0;
    for (const Sample& s : samples) {
        const double p = std::clamp(winChance(s, w, scale), 1e-12, 1 - 1e-12);
        sum -= s.result * std::log(p) + (1 - s.result) * std::log(1 - p);
    }
    return sum / static_cast<double>(samples.size());
}

double fitScale(const std::vector<Sample>& samples, const Weights& w) {
    // A golden-section search on the scale's logarithm: the loss has one minimum in it.
    const double golden = (std::sqrt(5.0) - 1) / 2;
    double lo = std::log(1e-6);
    double hi = std::log(10.0);
    const auto loss = [&](double t) { return logLoss(samples, w, std::exp(t)); };
    double a = hi - golden * (hi - lo);
    double b = lo + golden * (hi - lo);
    double la = loss(a);
    double lb = loss(b);
    for (int i = 0; i < 80; ++i) {
        if (la < lb) {
            hi = b, b = a, lb = la;
            a = hi - golden * (hi - lo);
            la = loss(a);
        } else {
            lo = a, a = b, la = lb;
            b = lo + golden * (hi - lo);
            lb = loss(b);
        }
    }
    return std::exp((lo + hi) / 2);
}

FitResult fitWeights(const std::vector<Sample>& train, const std::vector<Sample>& heldOut,
                     const Weights& start, double scale, const FitOptions& options) {
    // Adam in the units of each feature's logit at one standard deviation: a weight's step is
    // the step there divided by scale and deviation.
    const Weights sd = featureScales(train);
    Weights w = start, m{}, v{};
    FitResult best{w, logLoss(train, w, scale), logLoss(heldOut, w, scale), 0};
    constexpr double b1 = 0.9, b2 = 0.999, eps = 1e-12;
    int sinceBest = 0;
    for (int t = 1; t <= options.maxSteps && sinceBest < options.patience; ++t) {
        const Weights g = gradient(train, w, scale);
        const double rate = options.learningRate / std::sqrt(1.0 + t / 500.0);
        for (std::size_t i = 0; i < w.size(); ++i) {
            if (options.fixed[i]) continue;
            const double gi = g[i] * sd[i] / scale; // in the logit units
            m[i] = b1 * m[i] + (1 - b1) * gi;
            v[i] = b2 * v[i] + (1 - b2) * gi * gi;
            const double mh = m[i] / (1 - std::pow(b1, t));
            const double vh = v[i] / (1 - std::pow(b2, t));
            w[i] -= rate * mh / (std::sqrt(vh) + eps) / (scale * sd[i]);
        }
        best.steps = t;
        const double held = logLoss(heldOut.empty() ? train : heldOut, w, scale);
        if (held < best.heldOutLoss - 1e-12) {
            best.weights = w;
            best.heldOutLoss = held;
            sinceBest = 0;
        } else {
            ++sinceBest;
        }
    }
    best.trainLoss = logLoss(train, best.weights, scale);
    if (heldOut.empty()) best.heldOutLoss = best.trainLoss;
    return best;
}

std::optional<Sample> sampleFromLine(std::string_view line, std::string& why) {
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.remove_suffix(1);
    const std::size_t blank = line.rfind(' ');
    const std::string_view winner = blank == std::string_view::npos ? "" : line.substr(blank + 1);
    if (winner != "l" && winner != "u" && winner != "d") {
        why = "a position and then l, u or d (who won) expected";
        return std::nullopt;
    }
    const std::optional<Position> p = Position::fromText(line.substr(0, blank), why);
    if (!p) return std::nullopt;
    level4::GroupScan mine, theirs;
    const level4::Trace t =
        level4::trace(level4::Position::from(*p, p->SIDE, p->MOVE_COUNT), mine, theirs);
    Sample s;
    for (std::size_t i = 0; i < s.x.size(); ++i) s.x[i] = t.mine[i] - t.theirs[i];
    const char mover = p->SIDE == Side::Lower ? 'l' : 'u';
    s.result = winner == "d" ? 0.5 : winner[0] == mover ? 1.0 : 0.0;
    return s;
}

std::string weightsSource(const Weights& w, double scale, const std::string& provenance) {
    std::string out =
        "#pragma once\n\n"
        "// LEVEL4's evaluation weights, one a feature in the order of ai/level4_features.h, in "
        "the\n"
        "// units of the score. Written by zubeki-tune (scripts/tune.sh regenerates it).\n";
    out += "// " + provenance + "\n";
    char line[160];
    std::snprintf(line, sizeof line,
                  "// The side to move's chance of winning is 1 / (1 + exp(-%.6g score)).\n",
                  scale);
    out += line;
    out += "\n#include \"ai/level4_features.h\"\n\nnamespace zubeki::level4 {\n\n"
           "inline constexpr int kWeights[kFeatureCount] = {\n";
    std::vector<std::string> values;
    std::size_t width = 0;
    for (const double v : w) {
        values.push_back(std::to_string(static_cast<long>(std::lround(v))) + ",");
        width = std::max(width, values.back().size());
    }
    for (std::size_t i = 0; i < values.size(); ++i)
        out += "    " + values[i] + std::string(width - values[i].size(), ' ') + " // " +
               std::string(level4::kFeatureNames[i]) + "\n";
    out += "};\n\n} // namespace zubeki::level4\n";
    return out;
}

} // namespace zubeki::tune
