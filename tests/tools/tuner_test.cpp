#include "tools/tune/tuner.h"

#include "game/position_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

namespace zubeki::tune {
namespace {

// Features spread as a game spreads them (some wide, some rare), a fixed seed, and each
// result the true model's chance itself: the log-loss is then least at the true weights.
std::vector<Sample> syntheticSamples(const Weights& truth, double scale, int n, unsigned seed) {
    const int spread[level4::kFeatureCount] = {30, 2, 12, 3, 3, 20, 2, 3, 0};
    std::mt19937 rng(seed);
    std::vector<Sample> out;
    for (int k = 0; k < n; ++k) {
        Sample s;
        for (std::size_t i = 0; i < s.x.size(); ++i) {
            std::uniform_int_distribution<int> d(-spread[i], spread[i]);
            s.x[i] = spread[i] == 0 ? 1 : d(rng); // the tempo: always the mover's
        }
        s.result = winChance(s, truth, scale);
        out.push_back(s);
    }
    return out;
}

TEST(Tuner, RecoversTheScaleAndThenTheWeightsOfASyntheticSet) {
    const Weights truth = {5, 40, 3, -25, 20, 8, -120, -10, 15};
    const double scale = 0.004;
    const std::vector<Sample> train = syntheticSamples(truth, scale, 8000, 1);
    const std::vector<Sample> held = syntheticSamples(truth, scale, 2000, 2);

    // The scale alone, the weights being right, then the weights from a poor start: half of
    // each, the tempo and the rare features' signs lost.
    EXPECT_NEAR(fitScale(train, truth) / scale, 1.0, 1e-3);
    const Weights start = {2, 0, 2, 0, 10, 4, 0, 0, 0};
    const double fitted = fitScale(train, start);
    const FitResult r = fitWeights(train, held, start, fitted);
    EXPECT_LT(r.heldOutLoss, logLoss(held, start, fitted) - 0.01);
    // Only the product of scale and weights is determined by the data.
    for (std::size_t i = 0; i < truth.size(); ++i)
        EXPECT_NEAR(fitted * r.weights[i], scale * truth[i], 0.01 * std::abs(scale * truth[i]))
            << level4::kFeatureNames[i];

    // A feature held out of the fit keeps its weight, and the others make up for it.
    FitOptions without;
    without.fixed[level4::kFeatureTwoLiberties] = true;
    const FitResult h = fitWeights(train, held, start, fitted, without);
    EXPECT_EQ(h.weights[level4::kFeatureTwoLiberties], 0);
    EXPECT_GT(h.heldOutLoss, r.heldOutLoss);
    EXPECT_LT(h.heldOutLoss, logLoss(held, start, fitted));
}

TEST(Tuner, ReadsAPositionWithItsWinnerFromTheSideToMovesView) {
    const std::string start(START_POSITION);
    std::string why;
    const struct {
        std::string line;
        double result; // negative: refused
    } cases[] = {
        {start + " l", 1.0},
        {start + " u", 0.0},
        {start + " d\r", 0.5},
        {start + " x", -1},
        {start, -1},
        {"9/9/9 l - 0 1 u", -1},
        {"", -1},
        {start + " lu", -1},
    };
    for (const auto& c : cases) {
        const std::optional<Sample> s = sampleFromLine(c.line, why);
        ASSERT_EQ(s.has_value(), c.result >= 0) << c.line;
        if (!s) continue;
        EXPECT_EQ(s->result, c.result) << c.line;
        // The start is the same for both sides: only the tempo is the mover's own.
        for (int i = 0; i < level4::kFeatureTempo; ++i) EXPECT_EQ(s->x[i], 0) << c.line;
        EXPECT_EQ(s->x[level4::kFeatureTempo], 1) << c.line;
    }
}

TEST(Tuner, WritesTheWeightsRoundedAsTheSourceTheSearchIsBuiltWith) {
    const std::string text = weightsSource({4.4, 24.6, 6, -19.5, 30, 6, -90.2, -15, 10}, 0.0042,
                                           "Fitted to 3 positions.");
    for (const char* line :
         {"    4,   // advance\n", "    25,  // promoted\n", "    -20, // stuck\n",
          "    -90, // one_liberty\n", "// Fitted to 3 positions.\n", "exp(-0.0042 score)"})
        EXPECT_NE(text.find(line), std::string::npos) << line << " in\n" << text;
}

} // namespace
} // namespace zubeki::tune
