#pragma once

// Fitting LEVEL4's evaluation weights to game results: each position's features (the side to
// move's counts less the other's) with the score its side made in the game, a logistic model
// of that score, and gradient descent on the log-loss, stopped by a held-out part.

#include "ai/level4_features.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zubeki::tune {

using Weights = std::array<double, level4::kFeatureCount>;

struct Sample {
    std::array<double, level4::kFeatureCount> x{}; // the features, side to move less the other
    double result = 0.5; // what the side to move made of the game: 1 won, 0.5 drawn, 0 lost
};

// The chance of the side to move given the evaluation `w · x` and the scale.
double winChance(const Sample& s, const Weights& w, double scale);

// The largest size of the weights' evaluation over the samples: a fit whose scores reach the
// search's band of won and lost scores cannot be used.
double largestScore(const std::vector<Sample>& samples, const Weights& w);

// The mean log-loss of the chances against the results (in nats).
double logLoss(const std::vector<Sample>& samples, const Weights& w, double scale);

// The scale that makes the weights' evaluation predict the results best.
double fitScale(const std::vector<Sample>& samples, const Weights& w);

struct FitOptions {
    int maxSteps = 4000;
    int patience = 300;         // steps without a better held-out loss before stopping
    double learningRate = 0.02; // in the logit of a feature one standard deviation away
    std::array<bool, level4::kFeatureCount> fixed{}; // weights held where they start
};

struct FitResult {
    Weights weights{};
    double trainLoss = 0;
    double heldOutLoss = 0;
    int steps = 0; // those run; the weights are from the step with the best held-out loss
};

// The weights, from `start`, by gradient descent (Adam, on features scaled to one standard
// deviation) on the training samples' log-loss at the given scale, keeping the step with the
// best held-out loss.
FitResult fitWeights(const std::vector<Sample>& train, const std::vector<Sample>& heldOut,
                     const Weights& start, double scale, const FitOptions& options = {});

// One labelled position: the position notation, a blank, and who won the game: 'l' the lower
// side, 'u' the upper side, 'd' drawn. nullopt with the reason when the line is not one.
std::optional<Sample> sampleFromLine(std::string_view line, std::string& why);

// The weights as the source of ai/level4_weights.h, rounded to whole units of the score.
std::string weightsSource(const Weights& w, double scale, const std::string& provenance);

} // namespace zubeki::tune
