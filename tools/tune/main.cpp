// zubeki-tune: labelled positions from LEVEL4's self-play, and the evaluation's weights fitted
// to them, written as ai/level4_weights.h.

#include "ai/level4.h"
#include "ai/level4_weights.h"
#include "game/position.h"
#include "tools/tune/selfplay.h"
#include "tools/tune/tuner.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace {

using namespace zubeki;

constexpr const char* kHelp =
    "usage: zubeki-tune selfplay --games N [--nodes N] [--openings K] [--seed S]\n"
    "       zubeki-tune fit DATA [--held-out EVERY] [--steps N] [--fixed F1,F2..] [--out FILE]\n"
    "       zubeki-tune trace POSITION\n"
    "\n"
    "selfplay prints the quiet positions (nobody in check, no win in one) of N games of LEVEL4\n"
    "against itself at N nodes a move (default 5000) after K random moves (default 8), one a\n"
    "line: the position and who won (l, u or d), an empty line after each game.\n"
    "fit reads such lines, holds out every EVERY-th game (default 10), fits the scale of the\n"
    "current weights, then the weights by gradient descent on the log-loss, prints both\n"
    "losses and the weights, and writes them to FILE as the source of ai/level4_weights.h;\n"
    "--fixed holds the weights of the features named where they are (a new feature at 0).\n"
    "trace prints each feature of POSITION for the side to move and the other, and the score.\n";

int usage(const std::string& why) {
    std::fprintf(stderr, "zubeki-tune: %s\n%s", why.c_str(), kHelp);
    return 2;
}

// "--name value" pairs after the first `operands` words; false on anything else.
bool options(int argc, char** argv, int first, std::map<std::string, std::string>& out,
             std::vector<std::string>& operands) {
    for (int i = first; i < argc; ++i) {
        const std::string a = argv[i];
        if (a.rfind("--", 0) != 0) {
            operands.push_back(a);
            continue;
        }
        if (i + 1 >= argc) return false;
        out[a.substr(2)] = argv[++i];
    }
    return true;
}

long number(const std::map<std::string, std::string>& o, const std::string& name, long fallback) {
    const auto it = o.find(name);
    return it == o.end() ? fallback : std::strtol(it->second.c_str(), nullptr, 10);
}

int selfplay(const std::map<std::string, std::string>& o) {
    tune::SelfplayOptions s;
    s.games = static_cast<int>(number(o, "games", 0));
    s.nodes = static_cast<std::uint64_t>(number(o, "nodes", 5000));
    s.openings = static_cast<int>(number(o, "openings", 8));
    s.seed = static_cast<std::uint32_t>(number(o, "seed", 1));
    if (s.games < 1 || s.nodes < 1 || s.openings < 0) return usage("selfplay needs --games N");
    const tune::SelfplayCount c = tune::writeSelfplay(s, std::cout);
    std::fprintf(stderr, "%d games, %lld positions\n", c.games, c.positions);
    return 0;
}

void printWeights(const char* title, const tune::Weights& w) {
    std::printf("%s", title);
    for (std::size_t i = 0; i < w.size(); ++i)
        std::printf(" %s=%.2f", std::string(level4::kFeatureNames[i]).c_str(), w[i]);
    std::printf("\n");
}

// The features named in `list` (a comma between names) marked in `fixed`; false on a name that
// is not a feature.
bool fixedFeatures(const std::string& list, std::array<bool, level4::kFeatureCount>& fixed) {
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t comma = std::min(list.find(',', start), list.size());
        const std::string_view name = std::string_view(list).substr(start, comma - start);
        const auto* at =
            std::find(std::begin(level4::kFeatureNames), std::end(level4::kFeatureNames), name);
        if (at == std::end(level4::kFeatureNames)) return false;
        fixed[static_cast<std::size_t>(at - std::begin(level4::kFeatureNames))] = true;
        start = comma + 1;
    }
    return true;
}

int fit(const std::string& data, const std::map<std::string, std::string>& o) {
    std::ifstream in(data);
    if (!in) return usage("cannot read " + data);
    const long every = number(o, "held-out", 10);
    std::vector<tune::Sample> train, held;
    std::string line, why;
    long game = 1;
    for (long n = 1; std::getline(in, line); ++n) {
        if (line.empty() || line == "\r") {
            ++game;
            continue;
        }
        const auto s = tune::sampleFromLine(line, why);
        if (!s) return usage(data + ":" + std::to_string(n) + ": " + why);
        (every > 1 && game % every == 0 ? held : train).push_back(*s);
    }
    if (train.empty()) return usage(data + " holds no position to fit");
    tune::Weights start{};
    for (std::size_t i = 0; i < start.size(); ++i) start[i] = level4::kWeights[i];
    const double scale = tune::fitScale(train, start);
    std::printf("%zu positions to fit, %zu held out; scale %.6g\n", train.size(), held.size(),
                scale);
    std::printf("log-loss before: fit %.5f, held out %.5f\n", tune::logLoss(train, start, scale),
                tune::logLoss(held, start, scale));
    tune::FitOptions fo;
    fo.maxSteps = static_cast<int>(number(o, "steps", fo.maxSteps));
    if (const auto f = o.find("fixed"); f != o.end() && !fixedFeatures(f->second, fo.fixed))
        return usage("--fixed: features by name, separated by commas");
    const tune::FitResult r = tune::fitWeights(train, held, start, scale, fo);
    std::printf("log-loss after %d steps: fit %.5f, held out %.5f\n", r.steps, r.trainLoss,
                r.heldOutLoss);
    printWeights("before:", start);
    printWeights("after: ", r.weights);
    const double most =
        std::max(tune::largestScore(train, r.weights), tune::largestScore(held, r.weights));
    std::printf("largest score %.0f\n", most);
    if (Level4Search::isWinScore(static_cast<int>(most) + 1))
        return usage("the fitted scores reach the band of won games; more positions are needed");
    if (const auto out = o.find("out"); out != o.end()) {
        std::ofstream file(out->second);
        file << tune::weightsSource(r.weights, scale,
                                    "Fitted to " + std::to_string(train.size() + held.size()) +
                                        " self-play positions.");
        if (!file) return usage("cannot write " + out->second);
    }
    return 0;
}

int traceCommand(const std::string& text) {
    std::string why;
    const std::optional<Position> p = Position::fromText(text, why);
    if (!p) return usage(why);
    level4::GroupScan a, b;
    const level4::Trace t = level4::trace(level4::Position::from(*p, p->SIDE, p->MOVE_COUNT), a, b);
    for (int i = 0; i < level4::kFeatureCount; ++i)
        std::printf("%-14s %4d %4d\n", std::string(level4::kFeatureNames[i]).c_str(), t.mine[i],
                    t.theirs[i]);
    std::printf("score %d\n", t.score);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) return usage("a command is needed");
    const std::string command = argv[1];
    if (command == "--help" || command == "-h") return std::printf("%s", kHelp) < 0;
    std::map<std::string, std::string> o;
    std::vector<std::string> operands;
    if (!options(argc, argv, 2, o, operands)) return usage("an option without its value");
    if (command == "selfplay" && operands.empty()) return selfplay(o);
    if (command == "fit" && operands.size() == 1) return fit(operands[0], o);
    if (command == "trace" && operands.size() == 1) return traceCommand(operands[0]);
    return usage("unknown command or operands");
}
