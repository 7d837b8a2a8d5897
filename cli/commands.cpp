#include "cli/commands.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <system_error>
#include <thread>
#include <type_traits>

#include "ai/search.h"
#include "cli/analyse.h"
#include "cli/json.h"
#include "cli/match.h"
#include "cli/replay.h"
#include "cli/selfplay.h"
#include "game/line.h"
#include "game/moves.h"
#include "game/position_text.h"
#include "record/record_file.h"

namespace zubeki::cli {
namespace {

namespace fs = std::filesystem;

constexpr const char* kUsage =
    "usage: zubeki-cli COMMAND [OPTIONS]\n"
    "\n"
    "  replay FILE                      play a record through the rules\n"
    "  think FILE | --position P [--moves M] [--level N] [--digit D] [--ms T | --nodes N]\n"
    "                                   the computer's move after FILE, or in a position\n"
    "  analyse FILE | --position P --moves M [--ms T | --nodes N] [--threads J]\n"
    "                                   each move judged against the computer's\n"
    "  perft [--position P] --depth D [--divide]\n"
    "                                   count the move sequences of D moves\n"
    "  selfplay --games N [--seed S] [--level L] [--lower random|computer] [--openings K]\n"
    "           [--records DIR] [--ms T | --nodes N] [--position P]\n"
    "                                   computer against a random mover or against itself\n"
    "  match --a LEVEL --b LEVEL --games N [--first-pair K] [--openings K] [--seed S]\n"
    "        [--ms T | --nodes N] [--concurrency J] [--records DIR]\n"
    "        [--sprt elo0=E0,elo1=E1,alpha=A,beta=B] [--position P]\n"
    "                                   two computer levels against each other\n"
    "  match --merge FILE... [--sprt ...]\n"
    "                                   the results of several match runs as one\n"
    "\n"
    "Each command prints one JSON object on standard output and its messages on standard\n"
    "error. Exit status: 0 success, 1 an illegal record (or, for think, a finished game),\n"
    "2 a usage error or a file that cannot be read or written. 'zubeki-cli COMMAND --help'\n"
    "(or -h) tells more; 'zubeki-cli --version' prints the version.\n"
    "\n"
    "A position P is one line of five fields, e.g. the starting position\n"
    "  '6rbr/6brb/6rbr/9/9/9/RBR6/BRB6/RBR6 l - 0 1'\n"
    "(board ranks from the top, side to move l|u, check squares or -, passes, move number);\n"
    "a move is written like 9g9f, 3c1a+ (promoting) or pass.\n";

constexpr const char* kReplayHelp =
    "usage: zubeki-cli replay FILE\n"
    "\n"
    "Reads the record FILE (*.棋譜) and plays its moves from the starting position through\n"
    "the game's rules: the move, the check squares, the capture of surrounded groups and the\n"
    "camp race. Prints\n"
    "  {\"moves\":[{\"n\":1,\"from\":[x,y],\"to\":[x,y],\"piece\":P,\"result\":R,\"legal\":true,\n"
    "    \"check\":[[x,y],...],\"captured\":[[x,y],...],\"end\":null|\"capture\"|\"camp\"},...],\n"
    "   \"board\":[[row y=1, x=1..9],...],\"error\":null|\"move N: reason\"}\n"
    "with \"position\" first (the position after the last move played, as one line) and\n"
    "\"move\" in each move (its move string, like 9g9f or 3c1a+).\n"
    "Squares are [x, y], x = column from the left, y = row from the top, both 1..9.\n"
    "The first illegal move, or a move after the game has ended, is listed with\n"
    "\"legal\":false; nothing after it is played and the exit status is 1.\n";

constexpr const char* kThinkHelp =
    "usage: zubeki-cli think FILE [--level N] [--digit D] [--ms T | --nodes N]\n"
    "       zubeki-cli think --position P [--moves \"M1 M2 ...\"] [--level N] [--digit D]\n"
    "                        [--ms T | --nodes N]\n"
    "\n"
    "Replays FILE like 'replay', then asks the computer for the upper side's move; or plays\n"
    "the moves M (9g9f, 3c1a+, pass) from the position P and asks for the move of the side\n"
    "to move.\n"
    "  --level N   the computer's level, 1..4 (default 3)\n"
    "  --ms T      LEVEL4's time budget in milliseconds (default 1000)\n"
    "  --nodes N   LEVEL4's node budget instead: the same answer every time\n"
    "  --digit D   the clock's seconds digit the evaluation uses, 0..9 (default: the clock's)\n"
    "Prints {\"pass\":false,\"from\":[x,y],\"to\":[x,y],\"piece\":P,\"result\":R,\"score\":S},\n"
    "or {\"pass\":true} when the side has no legal move. Exit status 1 when the record or a\n"
    "move is illegal or the game has already ended.\n";

constexpr const char* kAnalyseHelp =
    "usage: zubeki-cli analyse FILE [--ms T | --nodes N] [--threads J]\n"
    "       zubeki-cli analyse --position P --moves \"M1 M2 ...\" [--ms T | --nodes N]\n"
    "                          [--threads J]\n"
    "\n"
    "Reviews the game of the record FILE, or the moves M (9g9f, 3c1a+, pass) from the\n"
    "position P: LEVEL4 searches every position once, and each move is set against the\n"
    "computer's move there. A side without a move passes; the record leaves such passes\n"
    "out, and they are put back in the list (a pass shares its number with the move after).\n"
    "  --nodes N   LEVEL4's node budget per position (default 60000): the same answer every\n"
    "              time, on any number of threads\n"
    "  --ms T      a time budget per position in milliseconds instead\n"
    "  --threads J positions searched at once, one thread each (default: the cores)\n"
    "Prints {\"moves\":[{\"n\":N,\"move\":M,\"side\":\"l\"|\"u\",\"best\":B,\"pv\":[...],\n"
    "  \"score\":S,\"win_before\":W,\"win_after\":W,\"verdict\":V},...],\n"
    " \"summary\":{\"l\":{\"moves\":..,\"inaccuracy\":..,\"mistake\":..,\"blunder\":..,\n"
    "  \"average_loss\":..},\"u\":{...}}}\n"
    "best and pv are the computer's move and line in the position before the move; S is the\n"
    "score after it for the lower side, a number or {\"win\":N} / {\"lose\":N} in moves (0:\n"
    "the move ended the game); W the mover's chance of winning before and after, 0..1; V\n"
    "null, \"inaccuracy\", \"mistake\" or \"blunder\" for a drop of 0.1, 0.2, 0.3. A move\n"
    "that lets the other side win at once where another move did not is a blunder, one that\n"
    "lets a forced win go at least a mistake; the computer's own move is never marked.\n"
    "Exit status 1 when the record or a move is illegal.\n";

constexpr const char* kPerftHelp =
    "usage: zubeki-cli perft [--position P] --depth D [--divide]\n"
    "\n"
    "Counts the sequences of exactly D moves (1..12) from the position P (default: the\n"
    "starting position, lower side first). A move is every legal move, promoting and not\n"
    "counted apart where the piece may promote, or the one pass of a side without a move;\n"
    "a game that has ended (capture, camp, a second pass in a row) has no moves after it.\n"
    "Prints {\"depth\":D,\"nodes\":N}, with --divide also \"moves\":{\"9g9f\":n,...}, the count\n"
    "after each first move.\n";

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

// The command line after the command's name: operands, and options as --name VALUE or
// --name=VALUE.
struct Parsed {
    std::vector<std::string> operands;
    std::map<std::string, std::string> options;            // a flag given has the value ""
    std::map<std::string, std::vector<std::string>> lists; // options that may be given again
    bool help = false;
    std::string error;
};

Parsed parse(const std::vector<std::string>& args, std::size_t first,
             const std::vector<std::string>& known, const std::vector<std::string>& flags = {},
             const std::vector<std::string>& repeatable = {}) {
    Parsed p;
    for (std::size_t i = first; i < args.size() && p.error.empty(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            p.help = true;
            continue;
        }
        if (a.size() < 2 || a.compare(0, 2, "--") != 0) {
            p.operands.push_back(a);
            continue;
        }
        std::string name = a.substr(2);
        std::string value;
        bool hasValue = false;
        if (const auto eq = name.find('='); eq != std::string::npos) {
            value = name.substr(eq + 1);
            name.resize(eq);
            hasValue = true;
        }
        bool isKnown = false;
        for (const std::string& k : known) isKnown = isKnown || k == name;
        bool isFlag = false;
        for (const std::string& f : flags) isFlag = isFlag || f == name;
        bool repeats = false;
        for (const std::string& r : repeatable) repeats = repeats || r == name;
        if (repeats) {
            if (!hasValue && i + 1 >= args.size())
                p.error = "option --" + name + " needs a value";
            else
                p.lists[name].push_back(hasValue ? value : args[++i]);
        } else if (isFlag && !hasValue && p.options.count(name) == 0) {
            p.options[name] = "";
        } else if (isFlag) {
            p.error = hasValue ? "option --" + name + " takes no value"
                               : "option --" + name + " given twice";
        } else if (!isKnown) {
            p.error = "unknown option --" + name;
        } else if (p.options.count(name) != 0) {
            p.error = "option --" + name + " given twice";
        } else if (!hasValue && i + 1 >= args.size()) {
            p.error = "option --" + name + " needs a value";
        } else {
            p.options[name] = hasValue ? value : args[++i];
        }
    }
    return p;
}

// A decimal number within [lo, hi], or false; for a floating type also a finite one (the
// reader takes "nan" and "inf", which no bound of ours may be).
template <class Number>
bool parseNumber(const std::string& text, Number lo, Number hi, Number& out) {
    Number v{};
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, v);
    if (ec != std::errc{} || ptr != end || text.empty() || !(v >= lo && v <= hi)) return false;
    if constexpr (std::is_floating_point_v<Number>)
        if (!std::isfinite(v)) return false;
    out = v;
    return true;
}

int printError(std::ostream& out, std::ostream& err, int status, const std::string& message) {
    err << "zubeki-cli: " << message << '\n';
    JsonWriter w;
    w.beginObject().key("error").value(message).endObject();
    out << w.str() << '\n';
    return status;
}

// A command line refused: one line naming the problem and where the help is.
int usageError(std::ostream& out, std::ostream& err, const std::string& message,
               const std::string& command) {
    const std::string help =
        command.empty() ? "zubeki-cli --help" : "zubeki-cli " + command + " --help";
    err << "zubeki-cli: " << message << " (see '" << help << "')\n";
    JsonWriter w;
    w.beginObject().key("error").value(message).endObject();
    out << w.str() << '\n';
    return EXIT_USAGE;
}

int printHelp(std::ostream& out, std::ostream& err, const char* help) {
    err << help;
    JsonWriter w;
    w.beginObject().key("help").value(help).endObject();
    out << w.str() << '\n';
    return EXIT_OK;
}

// A record read and replayed; status says whether that went through.
struct Loaded {
    int status = EXIT_OK;
    Replay replay;
};

// Reads FILE and replays it, into `game` when one is given.
Loaded loadAndReplay(const std::string& file, std::ostream& err, Game* game = nullptr) {
    Loaded l;
    // The reader itself tells a file it cannot open (missing, a folder, a FIFO, a device) from a
    // file it refuses, and never waits on one.
    const ReadResult read = readRecord(fs::path(file));
    if (!read.opened) {
        l.status = EXIT_USAGE;
        l.replay.error = "cannot read " + file + ": " + read.error;
        return l;
    }
    if (!read.warning.empty()) err << "zubeki-cli: " << file << ": " << read.warning << '\n';
    if (!read.ok) {
        l.status = EXIT_ILLEGAL;
        l.replay.state = replayStart();
        l.replay.error = "the record " + file + " was refused: " + read.error;
        return l;
    }
    if (read.moves.RECORD_LEN == 0) {
        l.status = EXIT_ILLEGAL;
        l.replay.state = replayStart();
        l.replay.error = "the record " + file + " holds no moves";
        return l;
    }
    l.replay = game ? replayMoves(read.moves, *game) : replayMoves(read.moves);
    if (!l.replay.error.empty()) l.status = EXIT_ILLEGAL;
    return l;
}

int replayCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const Parsed p = parse(args, 1, {});
    if (p.help) return printHelp(out, err, kReplayHelp);
    if (!p.error.empty()) return usageError(out, err, p.error, "replay");
    if (p.operands.size() != 1) return usageError(out, err, "replay takes one FILE", "replay");

    const Loaded l = loadAndReplay(p.operands[0], err);
    if (l.status == EXIT_USAGE) return printError(out, err, l.status, l.replay.error);
    if (!l.replay.error.empty()) err << "zubeki-cli: " << l.replay.error << '\n';
    out << replayJson(l.replay) << '\n';
    return l.status;
}

// The folder --records names, made where it is missing and tried with a file of our own, made
// and removed again, so that a folder that cannot take records is refused before the first game
// rather than after the last. "" when it can be used, else why not.
std::string recordsFolder(const Parsed& p, std::optional<fs::path>& folder) {
    const auto it = p.options.find("records");
    if (it == p.options.end()) return {};
    const fs::path dir(it->second);
    const std::string refused = "cannot write records in " + it->second + ": ";
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (!fs::is_directory(dir, ec))
        return refused + (ec ? ec.message() : "it is not a folder and cannot be made one");
    fs::path probe;
    for (auto n = std::chrono::steady_clock::now().time_since_epoch().count();; ++n) {
        probe = dir / (".zubeki-cli-probe-" + std::to_string(n));
        if (!fs::exists(fs::symlink_status(probe, ec))) break;
    }
    errno = 0;
    std::ofstream file(probe, std::ios::binary);
    file << "probe" << std::flush;
    const int error = errno;
    const bool written = file.good();
    file.close();
    if (!written || file.fail()) {
        fs::remove(probe, ec);
        return refused + (error != 0 ? std::generic_category().message(error)
                                     : "a file cannot be made there");
    }
    if (!fs::remove(probe, ec))
        return refused + "a file made there cannot be removed (" + ec.message() + ")";
    folder = dir;
    return {};
}

// The position --position names; "" when it could be read (or is not given), else why not.
std::string parseStart(const Parsed& p, std::optional<ReadPosition>& start) {
    const auto it = p.options.find("position");
    if (it == p.options.end()) return {};
    ReadPosition read = 局面読込(it->second);
    if (!read.ok) return "--position: " + read.error;
    start = read;
    return {};
}

// LEVEL4's budget from --ms or --nodes (not both); "" when it could be read, else why not.
std::string parseBudget(const Parsed& p, ThinkBudget& budget) {
    const auto ms = p.options.find("ms");
    const auto nodes = p.options.find("nodes");
    if (ms != p.options.end() && nodes != p.options.end()) return "give --ms or --nodes, not both";
    if (ms != p.options.end() && !parseNumber<double>(ms->second, 1, 3600000, budget.ms))
        return "--ms must be 1..3600000";
    if (nodes != p.options.end() &&
        !parseNumber<std::uint64_t>(nodes->second, 1, 1'000'000'000'000ULL, budget.nodes))
        return "--nodes must be 1..1000000000000";
    return {};
}

// Where the moves of --moves lead from the position: each read in the position it is played in.
struct MovesRead {
    std::vector<PlayedMove> moves;
    Position state; // after the last
    int side = 0;   // to move then
    bool ended = false;
    std::string last; // the last move as written
};

// The moves of --moves from the position into `read`; "" when every move could be played.
std::string readMoves(const ReadPosition& start, const std::string& moves, MovesRead& read) {
    const ReadLine line = readLine(start.state, moves);
    read.moves = line.moves;
    read.state = line.end;
    read.side = sign(line.end.SIDE);
    read.ended = line.ended;
    read.last = line.last;
    if (line.ok()) return {};
    if (line.afterEnd)
        return "--moves: " + zubeki::quoted(line.failedWord) + " comes after the end of the game";
    return "--moves: " + line.why;
}

// The game a position and its moves lead to, in `game`; "" when every move could be played
// and the game goes on.
std::string playMoves(const ReadPosition& start, const std::string& moves, Game& game, int& side) {
    MovesRead read;
    if (std::string why = readMoves(start, moves, read); !why.empty()) return why;
    if (read.ended) return "--moves: the game ends with " + read.last;
    side = read.side;
    game.restore(read.state, MoveList{});
    return {};
}

int thinkCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const Parsed p = parse(args, 1, {"level", "digit", "ms", "nodes", "position", "moves"});
    if (p.help) return printHelp(out, err, kThinkHelp);
    if (!p.error.empty()) return usageError(out, err, p.error, "think");
    std::optional<ReadPosition> start;
    if (const std::string why = parseStart(p, start); !why.empty())
        return usageError(out, err, why, "think");
    if (start ? !p.operands.empty() : p.operands.size() != 1)
        return usageError(out, err, "think takes one FILE or --position", "think");
    if (!start && p.options.count("moves") != 0)
        return usageError(out, err, "--moves goes with --position", "think");
    int level = 3;
    if (auto it = p.options.find("level");
        it != p.options.end() && !parseNumber(it->second, 1, LEVEL_MAX, level))
        return usageError(out, err, "--level must be 1, 2, 3 or 4", "think");
    ThinkBudget budget;
    if (const std::string why = parseBudget(p, budget); !why.empty())
        return usageError(out, err, why, "think");
    int digit = -1;
    if (auto it = p.options.find("digit");
        it != p.options.end() && !parseNumber(it->second, 0, 9, digit))
        return usageError(out, err, "--digit must be 0..9", "think");

    // The clock digit: the one given, or the clock's own.
    SilentOutside outside(
        [](void* d) {
            const int given = *static_cast<int*>(d);
            return given < 0 ? ClockDigit::localSecondsDigit(nullptr) : given;
        },
        &digit);
    Game game(outside);
    game.setBudget(budget);
    int side = 1; // after a record: the upper side, as the computer plays it in the window
    if (start) {
        const auto moves = p.options.find("moves");
        const std::string why =
            playMoves(*start, moves == p.options.end() ? "" : moves->second, game, side);
        if (!why.empty()) return printError(out, err, EXIT_ILLEGAL, why);
    } else {
        Loaded l = loadAndReplay(p.operands[0], err, &game);
        if (l.status != EXIT_OK) return printError(out, err, l.status, l.replay.error);
        if (l.replay.end != GameEnd::None) {
            const std::string how = l.replay.end == GameEnd::Capture ? "capture" : "camp";
            return printError(out, err, EXIT_ILLEGAL,
                              "the game has ended (" + how + " at move " +
                                  std::to_string(l.replay.moves.back().n) + ")");
        }
        if (l.replay.lastMover > 0)
            err << "zubeki-cli: note: the last move was the upper side's; answering for it all "
                   "the same\n";
    }

    game.setLevel(level); // after the position: it is part of the state set up
    JsonWriter w;
    w.beginObject();
    // The pass test comes first, then the search, exactly as the computer's turn takes them.
    if (!game.state().hasMove(sideOfSign(side))) {
        w.key("pass").value(true).endObject();
        out << w.str() << '\n';
        return EXIT_OK;
    }
    const ComputerMove m = game.思考(side > 0);
    if (!m.found) return printError(out, err, EXIT_ILLEGAL, "the search found no move");
    w.key("pass").value(false);
    w.key("from").square(m.移動元X, m.移動元Y);
    w.key("to").square(m.移動先X, m.移動先Y);
    w.key("piece").value(m.移動前駒);
    w.key("result").value(m.移動駒);
    w.key("score").value(m.BEST_SCORE);
    if (level == LEVEL_MAX) {
        w.key("depth").value(m.depth);
        w.key("nodes").value(static_cast<long long>(m.nodes));
    }
    w.endObject();
    out << w.str() << '\n';
    return EXIT_OK;
}

int analyseCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const Parsed p = parse(args, 1, {"ms", "nodes", "threads", "position", "moves"});
    if (p.help) return printHelp(out, err, kAnalyseHelp);
    if (!p.error.empty()) return usageError(out, err, p.error, "analyse");
    std::optional<ReadPosition> start;
    if (const std::string why = parseStart(p, start); !why.empty())
        return usageError(out, err, why, "analyse");
    if (start ? !p.operands.empty() : p.operands.size() != 1)
        return usageError(out, err, "analyse takes one FILE or --position", "analyse");
    if (start.has_value() != (p.options.count("moves") != 0))
        return usageError(out, err, "--moves goes with --position", "analyse");
    ThinkBudget budget = defaultReviewBudget();
    if (p.options.count("ms") != 0 || p.options.count("nodes") != 0) budget.nodes = 0;
    if (const std::string why = parseBudget(p, budget); !why.empty())
        return usageError(out, err, why, "analyse");
    if (auto it = p.options.find("threads");
        it != p.options.end() && !parseNumber(it->second, 1, 256, budget.threads))
        return usageError(out, err, "--threads must be 1..256", "analyse");

    Position from;
    int side = -1;
    std::vector<PlayedMove> moves;
    if (start) {
        MovesRead read;
        if (const std::string why = readMoves(*start, p.options.at("moves"), read); !why.empty())
            return printError(out, err, EXIT_ILLEGAL, why);
        moves = std::move(read.moves);
        from = start->state;
        side = start->side;
    } else {
        const Loaded l = loadAndReplay(p.operands[0], err);
        if (l.status != EXIT_OK) return printError(out, err, l.status, l.replay.error);
        from = replayStart();
        side = sideOf(l.replay.moves.front().piece);
        for (const ReplayedMove& m : l.replay.moves)
            moves.push_back({m.fromX, m.fromY, m.toX, m.toY, m.piece, m.result});
    }
    if (moves.empty()) return usageError(out, err, "--moves: no move to review", "analyse");
    std::string why;
    const std::optional<ReviewGame> game = prepareReview(from, side, moves, why);
    if (!game) return printError(out, err, EXIT_ILLEGAL, why);
    out << analyseJson(analyseGame(*game, budget)) << '\n';
    return EXIT_OK;
}

int perftCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const Parsed p = parse(args, 1, {"position", "depth"}, {"divide"});
    if (p.help) return printHelp(out, err, kPerftHelp);
    if (!p.error.empty()) return usageError(out, err, p.error, "perft");
    if (!p.operands.empty())
        return usageError(out, err, "perft takes no operand '" + p.operands[0] + "'", "perft");
    std::optional<ReadPosition> start;
    if (const std::string why = parseStart(p, start); !why.empty())
        return usageError(out, err, why, "perft");
    if (!start) start = 局面読込(START_POSITION);
    int depth = 0;
    const auto d = p.options.find("depth");
    if (d == p.options.end() || !parseNumber(d->second, 1, 12, depth))
        return usageError(out, err, "--depth must be 1..12", "perft");

    JsonWriter w;
    w.beginObject();
    w.key("depth").value(depth);
    if (p.options.count("divide") == 0) {
        w.key("nodes").value(static_cast<long long>(perft(start->state, start->side, depth)));
    } else {
        LegalMoves legal;
        合法手一覧(start->state, start->side, legal);
        std::vector<std::uint64_t> counts;
        std::uint64_t total = 0;
        for (const PlayedMove& m : legal) {
            const AfterMove after = 指し手後(start->state, start->side, m);
            counts.push_back(depth == 1    ? 1
                             : after.ended ? 0
                                           : perft(after.state, -start->side, depth - 1));
            total += counts.back();
        }
        w.key("nodes").value(static_cast<long long>(total));
        w.key("moves").beginObject();
        for (int i = 0; i < legal.size; ++i)
            w.key(指し手文字列(legal.at[i]))
                .value(static_cast<long long>(counts[static_cast<std::size_t>(i)]));
        w.endObject();
    }
    w.endObject();
    out << w.str() << '\n';
    return EXIT_OK;
}

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
    for (MatchPlayer* side : {&o.a, &o.b}) {
        const std::string name = side == &o.a ? "a" : "b";
        const auto it = p.options.find(name);
        const auto engine = p.options.find(name + "-engine");
        const auto options = p.lists.find(name + "-option");
        if (engine != p.options.end()) {
            // Any program that speaks the engine protocol, in place of a level.
            if (it != p.options.end())
                return usageError(
                    out, err, "give --" + name + " or --" + name + "-engine, not both", "match");
            if (engine->second.find_first_not_of(" \t") == std::string::npos)
                return usageError(out, err, "--" + name + "-engine needs a command", "match");
            side->engine.emplace();
            side->engine->command = engine->second;
            if (options != p.lists.end())
                for (const std::string& option : options->second) {
                    const std::size_t eq = option.find('=');
                    if (eq == std::string::npos || eq == 0 ||
                        option.find_first_of("\n\r") != std::string::npos)
                        return usageError(out, err,
                                          "--" + name + "-option must be NAME=VALUE, not '" +
                                              option + "'",
                                          "match");
                    side->engine->options.emplace_back(option.substr(0, eq), option.substr(eq + 1));
                }
            continue;
        }
        if (options != p.lists.end())
            return usageError(out, err, "--" + name + "-option goes with --" + name + "-engine",
                              "match");
        if (it == p.options.end() || !parseNumber(it->second, 1, LEVEL_MAX, side->level))
            return usageError(out, err, "--" + name + " must be a level, 1..4", "match");
    }
    const auto games = p.options.find("games");
    if (games == p.options.end() || !parseNumber(games->second, 1, 1'000'000, o.games))
        return usageError(out, err, "--games must be 1..1000000", "match");
    if (auto it = p.options.find("first-pair");
        it != p.options.end() && !parseNumber(it->second, 1, 1'000'000'000, o.firstPair))
        return usageError(out, err, "--first-pair must be 1..1000000000", "match");
    if (auto it = p.options.find("openings");
        it != p.options.end() && !parseNumber(it->second, 0, 100, o.openings))
        return usageError(out, err, "--openings must be 0..100", "match");
    if (auto it = p.options.find("seed");
        it != p.options.end() && !parseNumber<std::uint32_t>(it->second, 0, UINT32_MAX, o.seed))
        return usageError(out, err, "--seed must be 0..4294967295", "match");
    if (const std::string why = parseBudget(p, o.a.budget); !why.empty())
        return usageError(out, err, why, "match");
    o.b.budget = o.a.budget;
    // One player's own budget: --ms-a / --nodes-a, --ms-b / --nodes-b.
    for (const char* suffix : {"-a", "-b"}) {
        Parsed own;
        for (const char* name : {"ms", "nodes"})
            if (auto it = p.options.find(std::string(name) + suffix); it != p.options.end())
                own.options[name] = it->second;
        if (own.options.empty()) continue;
        ThinkBudget& budget = suffix[1] == 'a' ? o.a.budget : o.b.budget;
        budget = ThinkBudget{};
        if (const std::string why = parseBudget(own, budget); !why.empty())
            return usageError(out, err, why + " (" + suffix + ")", "match");
    }
    o.concurrency = static_cast<int>(std::thread::hardware_concurrency());
    if (o.concurrency < 1) o.concurrency = 1;
    if (auto it = p.options.find("concurrency");
        it != p.options.end() && !parseNumber(it->second, 1, 256, o.concurrency))
        return usageError(out, err, "--concurrency must be 1..256", "match");
    if (auto it = p.options.find("sprt"); it != p.options.end()) {
        o.sprt.emplace();
        if (const std::string why = parseSprt(it->second, *o.sprt); !why.empty())
            return usageError(out, err, why, "match");
    }
    if (const std::string why = parseStart(p, o.start); !why.empty())
        return usageError(out, err, why, "match");
    if (o.start && p.options.count("records") != 0)
        return usageError(out, err, "--records cannot go with --position", "match");
    if (const std::string why = recordsFolder(p, o.records); !why.empty())
        return printError(out, err, EXIT_USAGE, why);

    const MatchSummary summary = match(o);
    if (!summary.error.empty())
        err << "zubeki-cli: " << summary.error << "; no later record was written\n";
    out << matchJson(summary) << '\n';
    return summary.error.empty() ? EXIT_OK : EXIT_USAGE;
}

} // namespace

int runCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (!args.empty() && args[0] == "--version") {
        err << "zubeki-cli " << ZUBEKI_VERSION << '\n';
        JsonWriter w;
        w.beginObject().key("version").value(ZUBEKI_VERSION).endObject();
        out << w.str() << '\n';
        return EXIT_OK;
    }
    if (args.empty()) return usageError(out, err, "no command", "");
    const std::string& command = args[0];
    if (command == "--help" || command == "-h" || command == "help")
        return printHelp(out, err, kUsage);
    if (command == "replay") return replayCommand(args, out, err);
    if (command == "think") return thinkCommand(args, out, err);
    if (command == "perft") return perftCommand(args, out, err);
    if (command == "analyse") return analyseCommand(args, out, err);
    if (command == "selfplay") return selfplayCommand(args, out, err);
    if (command == "match") return matchCommand(args, out, err);
    return usageError(out, err, "unknown command '" + command + "'", "");
}

} // namespace zubeki::cli
