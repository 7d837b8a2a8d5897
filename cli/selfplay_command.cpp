#include "cli/command_line.h"

#include "cli/selfplay.h"

namespace zubeki::cli {

namespace {

constexpr const char* kSelfplayHelp =
    "usage: zubeki-cli selfplay --games N [--seed S] [--level L] [--lower random|computer]\n"
    "                           [--openings K] [--records DIR] [--ms T | --nodes N]\n"
    "                           [--position P]\n"
    "\n"
    "Plays N games: the computer at level L (1..4, default 3) on the upper side against a\n"
    "seeded random mover (--lower random, the default) or against the computer playing the\n"
    "lower side on the turned board (--lower computer). Odd games open with the lower side,\n"
    "even games with the upper side. The seed S (default 1) fixes every game, the clock digit\n"
    "of the evaluation included. The first K moves of each game (0..100; default 4 with\n"
    "--lower computer, so that each seed and game plays differently even with a node budget,\n"
    "and 0 with the random mover) are seeded random moves, whichever side makes them.\n"
    "With --records each game is written as DIR/game-0001.棋譜, ...; the folder is tried\n"
    "before the first game. Should a record fail later, the games go on, no later record is\n"
    "written, the result is printed with \"errors\":[\"...\"] and the exit status is 2.\n"
    "Prints {\"games\":N,\"upper_wins\":..,\"lower_wins\":..,\"draws\":..,\"unfinished\":..,\n"
    "        \"moves\":..,\"seconds\":..,\"moves_per_second\":..}\n"
    "A game still running after 500 moves counts as unfinished. With --position P every game\n"
    "begins from P, its side to move first (records then cannot be written: a record\n"
    "always begins at the starting position).\n";

} // namespace

int selfplayCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const Parsed p = parse(
        args, 1,
        {"games", "seed", "level", "lower", "openings", "records", "ms", "nodes", "position"});
    if (p.help) return printHelp(out, err, kSelfplayHelp);
    if (!p.error.empty()) return usageError(out, err, p.error, "selfplay");
    if (!p.operands.empty())
        return usageError(out, err, "selfplay takes no operand '" + p.operands[0] + "'",
                          "selfplay");

    SelfplayOptions o;
    const auto games = p.options.find("games");
    if (games == p.options.end()) return usageError(out, err, "--games is needed", "selfplay");
    if (!parseNumber(games->second, 1, 1'000'000, o.games))
        return usageError(out, err, "--games must be 1..1000000", "selfplay");
    if (auto it = p.options.find("seed");
        it != p.options.end() && !parseNumber<std::uint32_t>(it->second, 0, UINT32_MAX, o.seed))
        return usageError(out, err, "--seed must be 0..4294967295", "selfplay");
    if (auto it = p.options.find("level");
        it != p.options.end() && !parseNumber(it->second, 1, LEVEL_MAX, o.level))
        return usageError(out, err, "--level must be 1, 2, 3 or 4", "selfplay");
    if (const std::string why = parseBudget(p, o.budget); !why.empty())
        return usageError(out, err, why, "selfplay");
    if (auto it = p.options.find("lower"); it != p.options.end()) {
        if (it->second != "random" && it->second != "computer")
            return usageError(out, err, "--lower must be random or computer", "selfplay");
        o.lowerComputer = it->second == "computer";
    }
    // The computer against itself opens each game at random, or every seed would play the
    // same game; against the random mover the games vary anyway and stay as they always were.
    o.openings = o.lowerComputer ? 4 : 0;
    if (auto it = p.options.find("openings");
        it != p.options.end() && !parseNumber(it->second, 0, 100, o.openings))
        return usageError(out, err, "--openings must be 0..100", "selfplay");
    if (const std::string why = parseStart(p, o.start); !why.empty())
        return usageError(out, err, why, "selfplay");
    if (o.start && p.options.count("records") != 0)
        return usageError(out, err, "--records cannot go with --position", "selfplay");
    if (const std::string why = recordsFolder(p, o.records); !why.empty())
        return printError(out, err, EXIT_USAGE, why);

    const SelfplaySummary summary = selfplay(o);
    if (!summary.error.empty())
        err << "zubeki-cli: " << summary.error << "; no later record was written\n";
    out << selfplayJson(summary) << '\n';
    return summary.error.empty() ? EXIT_OK : EXIT_USAGE;
}

} // namespace zubeki::cli
