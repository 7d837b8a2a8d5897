#include "cli/command_line.h"

#include "cli/analyse.h"
#include "cli/replay.h"
#include "play/review.h"

namespace zubeki::cli {

namespace {

constexpr const char* kAnalyseHelp =
    "usage: zubeki-cli analyse FILE [--ms T | --nodes N] [--threads J]\n"
    "       zubeki-cli analyse --position P --moves \"M1 M2 ...\" [--ms T | --nodes N]\n"
    "                          [--threads J]\n"
    "\n"
    "Reviews the game of the record FILE (a *.棋譜 record, or a *.zbk game from any\n"
    "position), or the moves M (9g9f, 3c1a+, pass) from the position P: LEVEL4 searches\n"
    "every position once, and each move is set against the computer's move there. A side\n"
    "without a move passes; a *.棋譜 record leaves such passes out, and they are put back\n"
    "in the list (a pass shares its number with the move after).\n"
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

} // namespace

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
    std::vector<Move> moves;
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
        from = l.start;
        side = l.side;
        moves = l.line;
    }
    if (moves.empty()) return usageError(out, err, "--moves: no move to review", "analyse");
    std::string why;
    const std::optional<ReviewGame> game = prepareReview(from, side, moves, why);
    if (!game) return printError(out, err, EXIT_ILLEGAL, why);
    out << analyseJson(analyseGame(*game, budget)) << '\n';
    return EXIT_OK;
}

} // namespace zubeki::cli
