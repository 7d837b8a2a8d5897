#include "cli/command_line.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <thread>

#include "cli/json.h"
#include "cli/match.h"

namespace zubeki::cli {

namespace {

namespace fs = std::filesystem;

constexpr const char* kMatchHelp =
    "usage: zubeki-cli match --a LEVEL --b LEVEL --games N [--first-pair K] [--openings K]\n"
    "                        [--seed S] [--ms T | --nodes N] [--ms-a T | --nodes-a N]\n"
    "                        [--ms-b T | --nodes-b N] [--concurrency J] [--records DIR]\n"
    "                        [--sprt elo0=E0,elo1=E1,alpha=A,beta=B] [--position P]\n"
    "                        [--a-engine COMMAND [--a-option NAME=VALUE]...]\n"
    "                        [--b-engine COMMAND [--b-option NAME=VALUE]...]\n"
    "       zubeki-cli match --merge FILE... [--sprt elo0=E0,elo1=E1,alpha=A,beta=B]\n"
    "\n"
    "Plays the computer at level A (1..4) against level B. Each pair of games opens with K\n"
    "seeded random legal moves (default 4) and is played twice, A upper then A lower; both\n"
    "sides think through the same search, the lower side on the turned board. N games are\n"
    "rounded up to whole pairs. --ms / --nodes set LEVEL4's budget per move for both players\n"
    "(default 1000 ms), --ms-a / --nodes-a and --ms-b / --nodes-b for one of them. Games run\n"
    "on J threads (default: the number of cores); with node budgets the result depends only\n"
    "on the seed (default 1). --first-pair K (default 1) starts at the seed's K-th pair, so\n"
    "that runs on several machines share one seed out: pair K plays the games it plays in a\n"
    "run from 1. With --records every game is written as DIR/match-0001.棋譜, ..., numbered\n"
    "over the whole seed (pair K's games are 2K-1 and 2K); the folder is tried before the\n"
    "first game. Should a record fail later, no later record is written, the result is\n"
    "printed with \"errors\":[\"...\"] and the exit status is 2.\n"
    "With --sprt the match stops at the first verdict of the sequential test (pentanomial,\n"
    "over pairs, with half a pair added to each of the five results); E0 < E1, A and B in\n"
    "(0, 1) with A + B < 1, each item given at most once (default elo0=0,elo1=5,alpha=0.05,\n"
    "beta=0.05). A game still running after 500 moves is unfinished and scores as a draw.\n"
    "With --position P every pair begins from P (without --records) before its opening moves.\n"
    "--a-engine / --b-engine play a program that speaks the engine protocol (zubeki-engine,\n"
    "say) in place of --a / --b, started through the shell, one per side and thread, each\n"
    "--a-option / --b-option sent as setoption after the handshake, newgame between games,\n"
    "the budget as 'go nodes N' or 'go movetime T'. An engine that ends, gives no move within\n"
    "three times its budget and a second (a node budget counts a second per 500000 nodes),\n"
    "or plays an illegal move loses that game; the match goes on. Its standard error goes\n"
    "to DIR/engine-a-J.log with --records, else nowhere.\n"
    "Prints {\"games\":..,\"wins_a\":..,\"wins_b\":..,\"draws\":..,\"unfinished\":..,\n"
    "        "
    "\"crashes\":..,\"timeouts\":..,\"illegal\":..,\"pairs\":[p0,p1,p2,p3,p4],\"score_a\":..,"
    "\"elo\":..,\"elo_95\":[lo,hi],\"los\":..,\n"
    "        \"sprt\":{\"llr\":..,\"lower\":..,\"upper\":..,\"verdict\":\"H0|H1|continue\"},\n"
    "        \"moves\":..,\"seconds\":..}\n"
    "pairs[k] being the pairs in which A took k half-points of 4.\n"
    "--merge reads the results of runs saved from standard output (say, one run a machine,\n"
    "each with its own --first-pair) and prints them as one: counts and moves added up, the\n"
    "seconds too, and the figures worked out from the added pair counts, with the sequential\n"
    "test when --sprt is given.\n";

// "elo0=0,elo1=5,alpha=0.05,beta=0.05": any of the four may be left out, none given twice.
// "" when the bounds make a test, else why not.
std::string parseSprt(const std::string& text, SprtBounds& out) {
    if (text.empty()) return "--sprt is empty";
    std::vector<std::string> seen;
    for (std::size_t at = 0;;) {
        const std::size_t comma = std::min(text.find(',', at), text.size());
        const std::string item = text.substr(at, comma - at);
        if (item.empty()) return "--sprt has an empty item";
        const std::size_t eq = item.find('=');
        if (eq == std::string::npos) return "--sprt: '" + item + "' is not NAME=VALUE";
        const std::string name = item.substr(0, eq);
        const std::string value = item.substr(eq + 1);
        double* field = name == "elo0"    ? &out.elo0
                        : name == "elo1"  ? &out.elo1
                        : name == "alpha" ? &out.alpha
                        : name == "beta"  ? &out.beta
                                          : nullptr;
        if (!field) return "--sprt: unknown item '" + name + "' (elo0, elo1, alpha, beta)";
        if (std::find(seen.begin(), seen.end(), name) != seen.end())
            return "--sprt: " + name + " given twice";
        seen.push_back(name);
        if (name[0] == 'e' && !parseNumber<double>(value, -4000, 4000, *field))
            return "--sprt: " + name + " must be a number, -4000..4000";
        if (name[0] != 'e' &&
            (!parseNumber<double>(value, 0, 1, *field) || *field <= 0 || *field >= 1))
            return "--sprt: " + name + " must be a number between 0 and 1";
        if (comma == text.size()) break;
        at = comma + 1;
    }
    if (!(out.elo0 < out.elo1)) return "--sprt: elo0 must be below elo1";
    if (!(out.alpha + out.beta < 1)) return "--sprt: alpha + beta must be below 1";
    return {};
}

// The text of `file` when it is a regular file of at most `limit` bytes (a FIFO or a device is
// never opened, so nothing waits on one); nullopt and why not otherwise.
std::optional<std::string> readSmallFile(const std::string& file, std::uintmax_t limit,
                                         std::string& why) {
    std::error_code ec;
    const fs::file_status status = fs::status(file, ec);
    if (ec || !fs::is_regular_file(status)) {
        why = ec ? ec.message() : "not a regular file";
        return std::nullopt;
    }
    std::ifstream in(file, std::ios::binary);
    std::string text(static_cast<std::size_t>(limit) + 1, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    if (in.bad() || (!in && !in.eof())) {
        why = "it cannot be read";
        return std::nullopt;
    }
    text.resize(static_cast<std::size_t>(in.gcount()));
    if (text.size() > limit) {
        why = "too large for a match result";
        return std::nullopt;
    }
    return text;
}

// match --merge FILE...: the results of runs added up into one.
int mergeCommand(const Parsed& p, std::ostream& out, std::ostream& err) {
    for (const auto& option : p.options)
        if (option.first != "merge" && option.first != "sprt")
            return usageError(out, err, "--merge takes no --" + option.first, "match");
    if (p.operands.empty()) return usageError(out, err, "--merge needs a FILE", "match");
    std::optional<SprtBounds> bounds;
    if (auto it = p.options.find("sprt"); it != p.options.end()) {
        bounds.emplace();
        if (const std::string why = parseSprt(it->second, *bounds); !why.empty())
            return usageError(out, err, why, "match");
    }
    std::vector<MatchSummary> parts;
    for (const std::string& file : p.operands) {
        std::string why;
        const std::optional<std::string> text = readSmallFile(file, 1 << 20, why);
        std::optional<JsonValue> json;
        std::optional<MatchSummary> counts;
        if (text) json = parseJson(*text, why);
        if (json) counts = matchCounts(*json, why);
        if (!counts)
            return printError(
                out, err, EXIT_USAGE,
                (text ? file + " is not a match result: " : "cannot read " + file + ": ") + why);
        parts.push_back(*counts);
    }
    out << matchJson(mergeMatches(parts, bounds)) << '\n';
    return EXIT_OK;
}

// One side of the match: --a LEVEL, or --a-engine COMMAND with its --a-option NAME=VALUE.
// "" when it names a player, else why not.
std::string readPlayer(const Parsed& p, const std::string& name, MatchPlayer& side) {
    const auto it = p.options.find(name);
    const auto engine = p.options.find(name + "-engine");
    const auto options = p.lists.find(name + "-option");
    if (engine == p.options.end()) {
        if (options != p.lists.end())
            return "--" + name + "-option goes with --" + name + "-engine";
        if (it == p.options.end() || !parseNumber(it->second, 1, LEVEL_MAX, side.level))
            return "--" + name + " must be a level, 1..4";
        return {};
    }
    // Any program that speaks the engine protocol, in place of a level.
    if (it != p.options.end()) return "give --" + name + " or --" + name + "-engine, not both";
    if (engine->second.find_first_not_of(" \t") == std::string::npos)
        return "--" + name + "-engine needs a command";
    side.engine.emplace();
    side.engine->command = engine->second;
    if (options == p.lists.end()) return {};
    for (const std::string& option : options->second) {
        const std::size_t eq = option.find('=');
        if (eq == std::string::npos || eq == 0 || option.find_first_of("\n\r") != std::string::npos)
            return "--" + name + "-option must be NAME=VALUE, not '" + option + "'";
        side.engine->options.emplace_back(option.substr(0, eq), option.substr(eq + 1));
    }
    return {};
}

// The budgets: --ms / --nodes for both, then --ms-a / --nodes-a, --ms-b / --nodes-b for one.
std::string readBudgets(const Parsed& p, MatchOptions& o) {
    if (std::string why = parseBudget(p, o.a.budget); !why.empty()) return why;
    o.b.budget = o.a.budget;
    for (const char* suffix : {"-a", "-b"}) {
        Parsed own;
        for (const char* name : {"ms", "nodes"})
            if (auto it = p.options.find(std::string(name) + suffix); it != p.options.end())
                own.options[name] = it->second;
        if (own.options.empty()) continue;
        ThinkBudget& budget = suffix[1] == 'a' ? o.a.budget : o.b.budget;
        budget = ThinkBudget{};
        if (std::string why = parseBudget(own, budget); !why.empty())
            return why + " (" + suffix + ")";
    }
    return {};
}

// The numbers of the match: games, pairs, openings, seed, threads, and the sequential test.
std::string readMatchNumbers(const Parsed& p, MatchOptions& o) {
    const auto games = p.options.find("games");
    if (games == p.options.end() || !parseNumber(games->second, 1, 1'000'000, o.games))
        return "--games must be 1..1000000";
    if (auto it = p.options.find("first-pair");
        it != p.options.end() && !parseNumber(it->second, 1, 1'000'000'000, o.firstPair))
        return "--first-pair must be 1..1000000000";
    if (auto it = p.options.find("openings");
        it != p.options.end() && !parseNumber(it->second, 0, 100, o.openings))
        return "--openings must be 0..100";
    if (auto it = p.options.find("seed");
        it != p.options.end() && !parseNumber<std::uint32_t>(it->second, 0, UINT32_MAX, o.seed))
        return "--seed must be 0..4294967295";
    if (std::string why = readBudgets(p, o); !why.empty()) return why;
    o.concurrency = std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
    if (auto it = p.options.find("concurrency");
        it != p.options.end() && !parseNumber(it->second, 1, 256, o.concurrency))
        return "--concurrency must be 1..256";
    if (auto it = p.options.find("sprt"); it != p.options.end()) {
        o.sprt.emplace();
        if (std::string why = parseSprt(it->second, *o.sprt); !why.empty()) return why;
    }
    if (std::string why = parseStart(p, o.start); !why.empty()) return why;
    if (o.start && p.options.count("records") != 0) return "--records cannot go with --position";
    return {};
}

} // namespace

int matchCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const Parsed p = parse(args, 1,
                           {"a", "b", "games", "first-pair", "openings", "seed", "ms", "nodes",
                            "ms-a", "nodes-a", "ms-b", "nodes-b", "concurrency", "records", "sprt",
                            "position", "a-engine", "b-engine"},
                           {"merge"}, {"a-option", "b-option"});
    if (p.help) return printHelp(out, err, kMatchHelp);
    if (!p.error.empty()) return usageError(out, err, p.error, "match");
    if (p.options.count("merge") != 0) return mergeCommand(p, out, err);
    if (!p.operands.empty())
        return usageError(out, err, "match takes no operand '" + p.operands[0] + "'", "match");

    MatchOptions o;
    for (auto [side, name] : {std::pair{&o.a, "a"}, std::pair{&o.b, "b"}})
        if (const std::string why = readPlayer(p, name, *side); !why.empty())
            return usageError(out, err, why, "match");
    if (const std::string why = readMatchNumbers(p, o); !why.empty())
        return usageError(out, err, why, "match");
    if (const std::string why = recordsFolder(p, o.records); !why.empty())
        return printError(out, err, EXIT_USAGE, why);

    const MatchSummary summary = match(o);
    if (!summary.error.empty())
        err << "zubeki-cli: " << summary.error << "; no later record was written\n";
    out << matchJson(summary) << '\n';
    return summary.error.empty() ? EXIT_OK : EXIT_USAGE;
}

} // namespace zubeki::cli
