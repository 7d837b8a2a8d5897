#pragma once

// What the commands of zubeki-cli share: reading a command line against a command's option
// table, the common options (--position, --ms/--nodes, --records, --moves), the answers for a
// refused line and for --help, and the record read and replayed.

#include <charconv>
#include <cmath>
#include <filesystem>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <system_error>
#include <type_traits>
#include <vector>

#include "cli/commands.h"
#include "cli/replay.h"
#include "game/position_text.h"
#include "play/computer.h"
#include "play/game.h"

namespace zubeki::cli {

// The command line after the command's name: operands, and options as --name VALUE or
// --name=VALUE.
struct Parsed {
    std::vector<std::string> operands;
    std::map<std::string, std::string> options;            // a flag given has the value ""
    std::map<std::string, std::vector<std::string>> lists; // options that may be given again
    bool help = false;
    std::string error;
};

// Reads args[first..] against a command's option table: `known` take a value, `flags` none,
// `repeatable` a value each time they are given.
Parsed parse(const std::vector<std::string>& args, std::size_t first,
             const std::vector<std::string>& known, const std::vector<std::string>& flags = {},
             const std::vector<std::string>& repeatable = {});

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

// A failure after the command line was read: the message on `err`, {"error":...} on `out`.
int printError(std::ostream& out, std::ostream& err, int status, const std::string& message);
// A command line refused: one line naming the problem and where the help is.
int usageError(std::ostream& out, std::ostream& err, const std::string& message,
               const std::string& command);
// --help: the text on `err`, and as {"help":...} on `out`.
int printHelp(std::ostream& out, std::ostream& err, const char* help);

// A record read and replayed; status says whether that went through.
struct Loaded {
    int status = EXIT_OK;
    Replay replay;
    // When it went through: the position the game starts from, who moves first there (-1
    // lower, +1 upper), and every move and pass played.
    Position start;
    int side = -1;
    std::vector<Move> line;
};

// Reads FILE, a .棋譜 record or a game from any position (.zbk, told by its name or its first
// line), and replays it, into `game` when one is given.
Loaded loadAndReplay(const std::string& file, std::ostream& err, Game* game = nullptr);

// The folder --records names, made where it is missing and tried with a file of our own, made
// and removed again, so that a folder that cannot take records is refused before the first game
// rather than after the last. "" when it can be used, else why not.
std::string recordsFolder(const Parsed& p, std::optional<std::filesystem::path>& folder);

// The position --position names; "" when it could be read (or is not given), else why not.
std::string parseStart(const Parsed& p, std::optional<ReadPosition>& start);

// LEVEL4's budget from --ms or --nodes (not both); "" when it could be read, else why not.
std::string parseBudget(const Parsed& p, ThinkBudget& budget);

// Where the moves of --moves lead from the position: each read in the position it is played in.
struct MovesRead {
    std::vector<Move> moves;
    Position state; // after the last
    int side = 0;   // to move then
    bool ended = false;
    std::string last; // the last move as written
};

// The moves of --moves from the position into `read`; "" when every move could be played.
std::string readMoves(const ReadPosition& start, const std::string& moves, MovesRead& read);

// The commands, each with its own option table and help.
int replayCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int thinkCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int analyseCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int perftCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int selfplayCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int matchCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace zubeki::cli
