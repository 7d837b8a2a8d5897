// LEVEL4 on several threads and what it reports: the shared table under threads writing and
// reading one slot at once, and searches whose every report is checked against the game's
// own rules (game/moves.h), not against a fixed expected move.

#include "ai/level4.h"
#include "ai/level4_table.h"
#include "board_diagram.h"
#include "game/moves.h"
#include "seeded_positions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace zubeki {
namespace {

// What a writer stores for a key; a reader that finds the key must find exactly this.
struct Stored {
    int depth, score, bound;
    level4::Move move;
};
Stored storedFor(std::uint64_t key) {
    return Stored{static_cast<int>(key >> 20 & 63), static_cast<int>(key >> 26 & 0x3FFF) - 8000,
                  static_cast<int>(key >> 40 & 3),
                  level4::Move{static_cast<std::uint8_t>(key >> 42 & 0x7F),
                               static_cast<std::uint8_t>(key >> 49 & 0x7F),
                               static_cast<std::uint8_t>(key >> 56 & 1), 0}};
}

// Two writers and two readers on two slots of keys that collide: a slot torn between two
// writers must never be read as a third thing. Under ThreadSanitizer a slot of plain words
// would be reported as a race.
TEST(Level4Table, ConcurrentWritersAndReadersSeeWholeEntries) {
    level4::Table table(1);
    std::vector<std::uint64_t> keys;
    std::mt19937_64 rng(17);
    for (int i = 0; i < 16; ++i) keys.push_back((rng() & ~std::uint64_t{0xFFFF}) | (i & 1));
    std::atomic<int> hits{0};
    std::atomic<int> wrong{0};
    std::atomic<int> ready{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            std::mt19937 pick(static_cast<unsigned>(t));
            ready.fetch_add(1);
            while (ready.load() < 4) std::this_thread::yield();
            for (int i = 0; i < 1000000; ++i) {
                const std::uint64_t key = keys[pick() % keys.size()];
                const Stored want = storedFor(key);
                if (t < 2) {
                    table.store(key, 1, want.depth, want.score,
                                static_cast<level4::Bound>(want.bound), want.move);
                    continue;
                }
                level4::Table::Hit got;
                if (!table.probe(key, 1, got)) continue;
                hits.fetch_add(1, std::memory_order_relaxed);
                if (got.depth != want.depth || got.score != want.score || got.bound != want.bound ||
                    !(got.move == want.move))
                    wrong.fetch_add(1, std::memory_order_relaxed);
            }
        });
    for (std::thread& t : threads) t.join();
    EXPECT_EQ(wrong.load(), 0);
    EXPECT_GT(hits.load(), 0);
    // Another generation finds nothing, and nearly nothing of it is counted as used.
    level4::Table::Hit none;
    EXPECT_FALSE(table.probe(keys[0], 2, none));
    EXPECT_EQ(table.permille(2), 0);
}

int sideOf(Side m) {
    return m == Side::Upper ? 1 : -1;
}

// The position with `side` to move: the check the lower side's last move may have left binds
// the upper side only.
GameState forSide(GameState s, Side side) {
    if (side == Side::Lower) {
        s.CHECK_ACTIVE = FALSE_CODE;
        s.初期化_チェック桝();
    }
    return s;
}

zubeki::Move playedOf(const Level4Move& m) {
    return m.found ? zubeki::Move{m.移動元X, m.移動元Y, m.移動先X, m.移動先Y, m.移動前駒, m.移動駒}
                   : zubeki::Move{};
}

// Each move of the line legal where it is played; a move that ends the game ends the line.
// A win or loss in n plies has at most n moves; on one thread, where no other search can
// have written over the table, the nth is there and ends the game.
void expectPlayable(const GameState& start, Side side, const Level4Line& line, bool oneThread) {
    Position s = start;
    int turn = sideOf(side);
    ASSERT_FALSE(line.pv.empty());
    const bool forced =
        Level4Search::isWinScore(line.score) || Level4Search::isLossScore(line.score);
    const int plies = Level4Search::kWinScore - std::abs(line.score);
    if (forced) {
        EXPECT_LE(static_cast<int>(line.pv.size()), plies);
    }
    if (forced && oneThread) {
        EXPECT_EQ(static_cast<int>(line.pv.size()), plies);
    }
    for (std::size_t i = 0; i < line.pv.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "line " << line.multipv << " move " << i + 1 << " "
                                        << 指し手文字列(line.pv[i]));
        LegalMoves legal;
        合法手一覧(s, turn, legal);
        ASSERT_NE(std::find(legal.begin(), legal.end(), line.pv[i]), legal.end());
        const AfterMove after = 指し手後(s, turn, line.pv[i]);
        if (after.ended) {
            ASSERT_EQ(i + 1, line.pv.size());
        }
        if (forced && static_cast<int>(i) + 1 == plies) {
            EXPECT_TRUE(after.ended);
        }
        s = after.state;
        turn = -turn;
    }
}

struct ReportCase {
    const char* name;
    int threads;
    int multiPV;
    std::uint64_t nodes;
    int stopAtDepth; // 0: the node budget ends the search; else the reporter sets the stop flag
};

class Level4Reports : public testing::TestWithParam<ReportCase> {};

// Seeded positions for both sides, a camp one square short and a side with no move: the move
// answered is legal and begins line 1 of the last report; the reports before it come with
// rising depths and node counts, distinct root moves ordered by score, and lines that play.
TEST_P(Level4Reports, AreWellFormedAndEndWithTheMoveAnswered) {
    const ReportCase& c = GetParam();
    std::vector<GameState> positions = test::seededPositions(8);
    positions.push_back(test::positionOf(test::kLowerCampOneShort));
    positions.push_back(test::positionOf(test::kUpperShutIn));
    positions.push_back(test::positionOf(test::kLostInTwo));
    Level4Search search(4, c.threads);
    ASSERT_EQ(search.threads(), c.threads);
    std::vector<Level4Report> reports;
    std::atomic<bool> stop{false};
    const Level4Reporter reporter = [&](const Level4Report& r) {
        reports.push_back(r);
        if (c.stopAtDepth > 0 && !r.lines.empty() && r.lines[0].depth >= c.stopAtDepth) stop = true;
    };
    Level4Limits limits{0, c.nodes, 0, &stop, {}, c.multiPV, &reporter};
    for (std::size_t i = 0; i < positions.size(); ++i)
        for (const Side side : {Side::Upper, Side::Lower}) {
            SCOPED_TRACE(testing::Message() << "position " << i << " side " << int(side));
            const GameState s = forSide(positions[i], side);
            reports.clear();
            stop = false;
            const Level4Move m = search.bestMove(s, side, 20, limits);
            LegalMoves legal;
            合法手一覧(s, sideOf(side), legal);
            const zubeki::Move answered = playedOf(m);
            ASSERT_NE(std::find(legal.begin(), legal.end(), answered), legal.end());

            ASSERT_FALSE(reports.empty());
            const Level4Report& last = reports.back();
            EXPECT_TRUE(last.final);
            ASSERT_FALSE(last.lines.empty());
            EXPECT_EQ(last.lines[0].pv[0], answered);
            EXPECT_EQ(last.nodes, m.nodes);
            if (!m.found) continue;
            EXPECT_EQ(last.lines[0].score, m.score);
            EXPECT_EQ(last.lines[0].depth, m.depth);
            const int lines = std::min(c.multiPV, legal.size);
            int depth = 0;
            std::uint64_t nodes = 0;
            for (const Level4Report& r : reports) {
                EXPECT_EQ(r.final, &r == &last);
                EXPECT_GE(r.hashfull, 0);
                EXPECT_LE(r.hashfull, 1000);
                EXPECT_GE(r.nodes, nodes);
                nodes = r.nodes;
                if (r.final)
                    ASSERT_LE(static_cast<int>(r.lines.size()), lines);
                else
                    ASSERT_EQ(static_cast<int>(r.lines.size()), lines);
                if (!r.final) {
                    EXPECT_GT(r.lines[0].depth, depth);
                    depth = r.lines[0].depth;
                }
                for (std::size_t k = 0; k < r.lines.size(); ++k) {
                    const Level4Line& l = r.lines[k];
                    EXPECT_EQ(l.multipv, static_cast<int>(k) + 1);
                    EXPECT_GE(l.seldepth, 1);
                    expectPlayable(s, side, l, c.threads == 1);
                    for (std::size_t j = 0; j < k; ++j) {
                        EXPECT_NE(r.lines[j].pv[0], l.pv[0]);
                        if (!r.final) {
                            EXPECT_GE(r.lines[j].score, l.score);
                        }
                    }
                }
            }
            if (c.stopAtDepth > 0 && !Level4Search::isWinScore(m.score) &&
                !Level4Search::isLossScore(m.score) && legal.size > 1) {
                EXPECT_GE(m.depth, c.stopAtDepth);
            }
        }
}

INSTANTIATE_TEST_SUITE_P(
    Budgets, Level4Reports,
    testing::Values(ReportCase{"OneThread", 1, 1, 30000, 0},
                    ReportCase{"OneThreadFourLines", 1, 4, 30000, 0},
                    ReportCase{"TwoThreads", 2, 1, 60000, 0},
                    ReportCase{"TwoThreadsThreeLines", 2, 3, 60000, 0},
                    ReportCase{"ThreeThreadsStoppedFromTheReport", 3, 2, 0, 4},
                    ReportCase{"ThreeThreadsOneLineStoppedFromTheReport", 3, 1, 0, 5}),
    [](const testing::TestParamInfo<ReportCase>& i) { return std::string(i.param.name); });

// Reports and lines change nothing on one thread: the same move, score and node count as a
// search without them, and as a searcher that had helpers before.
TEST(Level4Reports, LeaveTheOneThreadSearchAsItWas) {
    const auto positions = test::seededPositions(6);
    Level4Search plain(4);
    Level4Search reported(4, 2);
    reported.setThreads(1);
    const Level4Reporter ignore = [](const Level4Report&) {};
    for (std::size_t i = 0; i < positions.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "position " << i);
        const Level4Move a =
            plain.bestMove(positions[i], Side::Upper, 20, Level4Limits{0, 40000, 0, nullptr, {}});
        const Level4Move b = reported.bestMove(positions[i], Side::Upper, 20,
                                               Level4Limits{0, 40000, 0, nullptr, {}, 1, &ignore});
        EXPECT_EQ(playedOf(a), playedOf(b));
        EXPECT_EQ(a.score, b.score);
        EXPECT_EQ(a.nodes, b.nodes);
        EXPECT_EQ(a.depth, b.depth);
    }
}

} // namespace
} // namespace zubeki
