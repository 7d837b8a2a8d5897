#include "tools/tune/selfplay.h"

#include "ai/level4.h"
#include "game/position.h"

#include <random>
#include <string>
#include <vector>

namespace zubeki::tune {

namespace {

Side otherSide(Side s) {
    return s == Side::Upper ? Side::Lower : Side::Upper;
}

// Can `side` win at once here (a group surrounded or the camp filled)?
bool winsInOne(const Position& p, Side side) {
    level4::Position lp = level4::Position::from(p, side, p.MOVE_COUNT);
    level4::GroupScan enemy;
    lp.scanGroups(otherSide(side), enemy);
    return lp.findWin(enemy, nullptr);
}

// A position the evaluation alone should judge: nobody in check, no win in one for either side.
bool quiet(const Position& p) {
    return !p.CHECK_ACTIVE && !winsInOne(p, p.SIDE) && !winsInOne(p, otherSide(p.SIDE));
}

char winnerOf(const Position& after, GameEnd end) {
    if (end == GameEnd::Capture || end == GameEnd::Camp)
        return after.SIDE == Side::Lower ? 'u' : 'l'; // the side that just moved
    return 'd';
}

struct Game {
    std::vector<std::string> quietPositions;
    char winner = 'd';
};

Game playOne(Level4Search& search, const SelfplayOptions& o, std::mt19937& rng) {
    Game g;
    Position p = Position::start();
    std::vector<std::uint64_t> seen;
    Level4Limits limits;
    limits.nodes = o.nodes;
    while (p.MOVE_COUNT < Level4Search::kMoveLimit) {
        Move m;
        if (p.MOVE_COUNT < o.openings) {
            LegalMoves legal;
            p.legalMoves(legal);
            m = legal.at[rng() % static_cast<unsigned>(legal.size)];
        } else {
            if (quiet(p)) g.quietPositions.push_back(p.text());
            seen.push_back(level4PositionKey(p, p.SIDE));
            const Level4History history{seen.data(), static_cast<int>(seen.size())};
            const Level4Move answer = search.bestMove(p, p.SIDE, p.MOVE_COUNT, limits, history);
            if (answer.found) m = answer;
        }
        const MoveOutcome outcome = p.play(m);
        if (outcome.end != GameEnd::None) {
            g.winner = winnerOf(p, outcome.end);
            break;
        }
    }
    return g;
}

} // namespace

SelfplayCount writeSelfplay(const SelfplayOptions& options, std::ostream& out) {
    Level4Search search(16, 1);
    SelfplayCount count;
    for (int i = 0; i < options.games; ++i) {
        std::mt19937 rng(options.seed * 1000003u + static_cast<std::uint32_t>(i));
        const Game g = playOne(search, options, rng);
        for (const std::string& text : g.quietPositions) out << text << ' ' << g.winner << '\n';
        out << '\n'; // games apart, so that a game is held out whole
        ++count.games;
        count.positions += static_cast<long long>(g.quietPositions.size());
    }
    return count;
}

} // namespace zubeki::tune
