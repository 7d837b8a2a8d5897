#include "cli/command_line.h"
#include "cli/replay.h"

namespace zubeki::cli {

namespace {

constexpr const char* kReplayHelp =
    "usage: zubeki-cli replay FILE\n"
    "\n"
    "Reads the record FILE (*.棋譜) and plays its moves from the starting position, or a\n"
    "game from any position (*.zbk) and plays its moves from its position, through\n"
    "the game's rules: the move, the check squares, the capture of surrounded groups and the\n"
    "camp race. Prints\n"
    "  {\"moves\":[{\"n\":1,\"from\":[x,y],\"to\":[x,y],\"piece\":P,\"result\":R,\"legal\":true,\n"
    "    \"check\":[[x,y],...],\"captured\":[[x,y],...],\"end\":null|\"capture\"|\"camp\"},...],\n"
    "   \"board\":[[row y=1, x=1..9],...],\"error\":null|\"move N: reason\"}\n"
    "with \"position\" first (the position after the last move played, as one line) and\n"
    "\"move\" in each move (its move string, like 9g9f or 3c1a+).\n"
    "Squares are [x, y], x = column from the left, y = row from the top, both 1..9.\n"
    "The first illegal move, or a move after the game has ended, is listed with\n"
    "\"legal\":false; nothing after it is played and the exit status is 1. A *.zbk file\n"
    "with a fault is refused at its line (\"error\" names it) with the moves before it\n"
    "listed; a pass it holds is played but not listed.\n";

} // namespace

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

} // namespace zubeki::cli
