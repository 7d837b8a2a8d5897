#include "cli/command_line.h"

#include "ai/search.h"
#include "cli/json.h"
#include "cli/replay.h"
#include "record/record_file.h"

namespace zubeki::cli {

namespace {

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

// think's command line once read.
struct ThinkOptions {
    std::optional<ReadPosition> start;
    int level = 3;
    ThinkBudget budget;
    int digit = -1; // the clock's seconds digit given, or -1 for the clock's own
};

// think's options into `o`; "" when they make a question, else why not.
std::string readThinkOptions(const Parsed& p, ThinkOptions& o) {
    if (std::string why = parseStart(p, o.start); !why.empty()) return why;
    if (o.start ? !p.operands.empty() : p.operands.size() != 1)
        return "think takes one FILE or --position";
    if (!o.start && p.options.count("moves") != 0) return "--moves goes with --position";
    if (auto it = p.options.find("level");
        it != p.options.end() && !parseNumber(it->second, 1, LEVEL_MAX, o.level))
        return "--level must be 1, 2, 3 or 4";
    if (std::string why = parseBudget(p, o.budget); !why.empty()) return why;
    if (auto it = p.options.find("digit");
        it != p.options.end() && !parseNumber(it->second, 0, 9, o.digit))
        return "--digit must be 0..9";
    return {};
}

// The game the question is asked in: the position and its moves, or the record replayed.
// EXIT_OK and the side to answer for in `side`, or the status after the error was printed.
int setUpGame(const Parsed& p, const ThinkOptions& o, Game& game, int& side, std::ostream& out,
              std::ostream& err) {
    side = 1; // after a record: the upper side, as the computer plays it in the window
    if (o.start) {
        const auto moves = p.options.find("moves");
        const std::string why =
            playMoves(*o.start, moves == p.options.end() ? "" : moves->second, game, side);
        if (!why.empty()) return printError(out, err, EXIT_ILLEGAL, why);
        return EXIT_OK;
    }
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
    return EXIT_OK;
}

// The computer's answer for `side`: a pass when it has no move, else the move it chose.
int answer(Game& game, int side, int level, std::ostream& out, std::ostream& err) {
    JsonWriter w;
    w.beginObject();
    // The pass test comes first, then the search, exactly as the computer's turn takes them.
    if (!game.state().hasMove(sideOfSign(side))) {
        w.key("pass").value(true).endObject();
        out << w.str() << '\n';
        return EXIT_OK;
    }
    const ComputerMove m = game.思考(sideOfSign(side));
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

} // namespace

int thinkCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const Parsed p = parse(args, 1, {"level", "digit", "ms", "nodes", "position", "moves"});
    if (p.help) return printHelp(out, err, kThinkHelp);
    if (!p.error.empty()) return usageError(out, err, p.error, "think");
    ThinkOptions o;
    if (const std::string why = readThinkOptions(p, o); !why.empty())
        return usageError(out, err, why, "think");

    // The clock digit: the one given, or the clock's own.
    SilentOutside outside(
        [](void* d) {
            const int given = *static_cast<const int*>(d);
            return given < 0 ? ClockDigit::localSecondsDigit(nullptr) : given;
        },
        &o.digit);
    Game game(outside);
    game.setBudget(o.budget);
    int side = 1;
    if (const int status = setUpGame(p, o, game, side, out, err); status != EXIT_OK) return status;
    game.setLevel(o.level); // after the position: it is part of the state set up
    return answer(game, side, o.level, out, err);
}

} // namespace zubeki::cli
