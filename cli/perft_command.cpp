#include "cli/command_line.h"

#include <cstdint>

#include "cli/json.h"
#include "game/moves.h"
#include "game/position_text.h"

namespace zubeki::cli {

namespace {

constexpr const char* kPerftHelp =
    "usage: zubeki-cli perft [--position P] --depth D [--divide]\n"
    "\n"
    "Counts the sequences of exactly D moves (1..12) from the position P (default: the\n"
    "starting position, lower side first). A move is every legal move, promoting and not\n"
    "counted apart where the piece may promote, or the one pass of a side without a move;\n"
    "a game that has ended (capture, camp, a second pass in a row) has no moves after it.\n"
    "Prints {\"depth\":D,\"nodes\":N}, with --divide also \"moves\":{\"9g9f\":n,...}, the count\n"
    "after each first move.\n";

} // namespace

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
        for (const Move& m : legal) {
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

} // namespace zubeki::cli
