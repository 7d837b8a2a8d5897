#include "engine/bench.h"

#include "ai/level4.h"
#include "game/position.h"

#include <chrono>
#include <string>

namespace zubeki::engine {

namespace {

// The start, then positions from seeded random games: open and crowded boards, promoted
// pieces, a side in check.
constexpr std::string_view kBenchPositions[] = {
    "6rbr/6brb/6rbr/9/9/9/RBR6/BRB6/RBR6 l - 0 1",
    "7br/r5+Brb/1R3r1br/8R/9/b8/R8/B1B6/RBR6 l - 0 11",
    "7br/8b/R1r4b1/2brB4/5B3/1rBr5/2R2B3/1R7/R1R6 l 7f 0 23",
    "5R1b1/b7r/1R2rB3/9/9/B1b6/R1+r6/B1b4rr/6RBR l - 0 31",
    "1r6r/B8/2R6/8B/RB6+R/b2rb2R1/1+b1r5/6b2/RB2r4 l - 0 39",
    "R4B2r/8b/r3+r2R1/8R/1B7/6B2/1+b1b4R/1R6b/2+rB2r2 l 8h,6i 0 47",
};

} // namespace

BenchResult runBench(int depth, const std::function<void(std::string_view)>& say) {
    Level4Search search(16, 1);
    BenchResult r;
    r.ok = true;
    const auto began = std::chrono::steady_clock::now();
    int n = 0;
    for (const std::string_view text : kBenchPositions) {
        std::string why;
        const std::optional<Position> p = Position::fromText(text, why);
        if (!p) {
            say("bench position " + std::to_string(++n) + ": " + why);
            r.ok = false;
            continue;
        }
        Level4Limits limits;
        limits.depth = depth;
        const Level4Move m = search.bestMove(*p, p->SIDE, p->MOVE_COUNT, limits);
        r.nodes += m.nodes;
        say("position " + std::to_string(++n) + " depth " + std::to_string(m.depth) + " nodes " +
            std::to_string(m.nodes) + " move " + 指し手文字列(m));
    }
    r.ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - began).count();
    return r;
}

} // namespace zubeki::engine
