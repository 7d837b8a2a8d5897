#include "cli/command_line.h"

#include <cerrno>
#include <chrono>
#include <fstream>
#include <system_error>

#include "cli/json.h"
#include "game/line.h"
#include "record/record_file.h"
#include "record/zbk.h"

namespace zubeki::cli {

namespace fs = std::filesystem;

Parsed parse(const std::vector<std::string>& args, std::size_t first,
             const std::vector<std::string>& known, const std::vector<std::string>& flags,
             const std::vector<std::string>& repeatable) {
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

namespace {

// A game from any position read and replayed, into `game` when one is given.
Loaded loadGame(const std::string& file, Game* game) {
    Loaded l;
    const ZbkRead read = readZbk(fs::path(file));
    l.replay = replayGame(read.game); // what was read before any fault, from its position
    if (read.problem == ZbkProblem::NotOpened) {
        l.status = EXIT_USAGE;
        l.replay.error = "cannot read " + file + ": " + read.error;
    } else if (!read.ok()) {
        l.status = EXIT_ILLEGAL;
        l.replay.error = "the record " + file + " was refused: " + read.error;
    } else if (read.game.moves.empty()) {
        l.status = EXIT_ILLEGAL;
        l.replay.error = "the record " + file + " holds no moves";
    }
    if (l.status != EXIT_OK) return l;
    l.start = read.game.start;
    l.side = sign(read.game.start.SIDE);
    l.line = read.game.moves;
    if (game) game->restore(read.end, MoveList{});
    return l;
}

} // namespace

// Reads FILE and replays it, into `game` when one is given.
Loaded loadAndReplay(const std::string& file, std::ostream& err, Game* game) {
    if (isZbkFile(fs::path(file))) return loadGame(file, game);
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
        l.replay = replayMoves(MoveList{}); // the starting position, with its notation
        l.replay.error = "the record " + file + " was refused: " + read.error;
        return l;
    }
    if (read.moves.RECORD_LEN == 0) {
        l.status = EXIT_ILLEGAL;
        l.replay = replayMoves(MoveList{});
        l.replay.error = "the record " + file + " holds no moves";
        return l;
    }
    l.replay = game ? replayMoves(read.moves, *game) : replayMoves(read.moves);
    if (!l.replay.error.empty()) l.status = EXIT_ILLEGAL;
    l.start = replayStart();
    l.side = sideOf(l.replay.moves.front().move.移動前駒);
    for (const ReplayedMove& m : l.replay.moves) l.line.push_back(m.move);
    return l;
}

namespace {

// The nearest folder above `dir` that is there: where making `dir` failed.
std::string nearestFolder(const fs::path& dir) {
    std::error_code ec;
    fs::path above = dir.parent_path();
    while (!above.empty() && !fs::exists(above, ec)) above = above.parent_path();
    return above.empty() ? std::string(".") : above.string();
}

} // namespace

// The folder --records names, made where it is missing and tried with a file of our own, made
// and removed again, so that a folder that cannot take records is refused before the first game
// rather than after the last. "" when it can be used, else why not.
std::string recordsFolder(const Parsed& p, std::optional<fs::path>& folder) {
    const auto it = p.options.find("records");
    if (it == p.options.end()) return {};
    const fs::path dir(it->second);
    const std::string refused = "cannot write records in " + it->second + ": ";
    // Why it could not be made (a parent we may not write in, say) tells more than that it is
    // missing, which is all that is left to see afterwards.
    std::error_code made, ec;
    fs::create_directories(dir, made);
    if (!fs::is_directory(dir, ec)) {
        if (made)
            return refused + "it cannot be made in " + nearestFolder(dir) + ": " + made.message();
        return refused + (ec ? ec.message() : "it is not a folder and cannot be made one");
    }
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

} // namespace zubeki::cli
