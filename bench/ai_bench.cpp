// Figures for the computer opponent: legality queries, the influence survey, one
// evaluation per level and the whole level-3 search over mid-game positions from seeded
// random games.

#include "ai/evaluation.h"
#include "ai/level4_position.h"
#include "ai/search.h"
#include "game/moves.h"
#include "game/position_text.h"
#include "tests/ai/seeded_positions.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

namespace zubeki {
namespace {

constexpr int kPositions = 24;

const std::vector<GameState>& positions() {
    static const std::vector<GameState> all = test::seededPositions(kPositions);
    return all;
}

// 81 destination queries for the upper rook on (7,3) of the starting position.
void BM_MoveCheck81(benchmark::State& st) {
    GameState s;
    s.初期設定();
    for (auto _ : st) {
        int legal = 0;
        for (int x = 1; x <= 9; ++x)
            for (int y = 1; y <= 9; ++y) legal += s.移動チェック(7, 3, x, y, s.BOARD[7][3]);
        benchmark::DoNotOptimize(legal);
    }
}
BENCHMARK(BM_MoveCheck81);

// perft from the starting position by the game's rules (GameState copied move by move) and by
// LEVEL4's make/unmake board; the rate is sequences counted per second.
void BM_PerftGame(benchmark::State& st) {
    const ReadPosition start = 局面読込(START_POSITION);
    std::uint64_t nodes = 0;
    for (auto _ : st) nodes = perft(start.state, start.side, static_cast<int>(st.range(0)));
    st.counters["nodes"] = static_cast<double>(nodes);
    st.counters["nps"] = benchmark::Counter(static_cast<double>(nodes),
                                            benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_PerftGame)->Arg(4)->Arg(5)->Unit(benchmark::kMillisecond);

void BM_PerftLevel4(benchmark::State& st) {
    const ReadPosition start = 局面読込(START_POSITION);
    level4::Position board = level4::Position::from(start.state, Side::Lower, 0);
    std::uint64_t nodes = 0;
    for (auto _ : st) nodes = level4::perft(board, static_cast<int>(st.range(0)));
    st.counters["nodes"] = static_cast<double>(nodes);
    st.counters["nps"] = benchmark::Counter(static_cast<double>(nodes),
                                            benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_PerftLevel4)->Arg(4)->Arg(5)->Unit(benchmark::kMillisecond);

void BM_InfluenceSurvey(benchmark::State& st) {
    const auto& all = positions();
    Influence inf;
    std::size_t i = 0;
    for (auto _ : st) {
        inf.勢力調査(all[i]);
        benchmark::DoNotOptimize(inf.SITA_INFLUENCE[5][5]);
        i = (i + 1) % all.size();
    }
}
BENCHMARK(BM_InfluenceSurvey);

// One evaluation of every legal upper move in turn, over all positions, at one level.
void BM_Evaluation(benchmark::State& st) {
    const int level = static_cast<int>(st.range(0));
    struct Trial {
        GameState after;
        Influence inf;
        int trial, placed, sx, sy, dx, dy;
    };
    std::vector<Trial> trials;
    for (const GameState& s : positions())
        for (int sx = 1; sx <= 9; ++sx)
            for (int sy = 1; sy <= 9; ++sy) {
                const int p = s.BOARD[sx][sy];
                if (!isUpperPiece(p)) continue;
                for (int dx = 1; dx <= 9; ++dx)
                    for (int dy = 1; dy <= 9; ++dy) {
                        if (s.移動チェック(sx, sy, dx, dy, p) != TRUE_CODE) continue;
                        Trial t{s, {}, p, p, sx, sy, dx, dy};
                        t.after.BOARD[sx][sy] = EMPTY;
                        t.after.BOARD[dx][dy] = p;
                        t.inf.勢力調査(t.after);
                        trials.push_back(t);
                        if (trials.size() >= 400) goto done;
                    }
            }
done:
    std::size_t i = 0;
    for (auto _ : st) {
        const Trial& t = trials[i];
        const EvalContext ctx{t.after, t.inf, level, t.trial, ClockDigit{}};
        benchmark::DoNotOptimize(盤評価(ctx, EMPTY, t.placed, t.sx, t.sy, t.dx, t.dy));
        i = (i + 1) % trials.size();
    }
}
BENCHMARK(BM_Evaluation)->Arg(1)->Arg(2)->Arg(3);

// The whole search at level 3, one position per iteration, cycling through the set.
void BM_SearchLevel3(benchmark::State& st) {
    const auto& all = positions();
    std::vector<GameState> work(all.begin(), all.end());
    Influence inf;
    std::size_t i = 0;
    for (auto _ : st) {
        benchmark::DoNotOptimize(最善手探索(work[i], inf, 3, ClockDigit{}));
        i = (i + 1) % work.size();
    }
    st.SetItemsProcessed(st.iterations());
}
BENCHMARK(BM_SearchLevel3);

// Per-position figures: each position is searched in 5 blocks of 100 searches and the
// fastest block's mean is its time (a shared machine only ever adds time); the median,
// fastest and slowest over the set are reported as counters, in microseconds per search.
void BM_SearchLevel3Median(benchmark::State& st) {
    const auto& all = positions();
    std::vector<double> perPosition;
    for (auto _ : st) {
        perPosition.clear();
        for (const GameState& original : all) {
            GameState s = original;
            Influence inf;
            constexpr int blocks = 5;
            constexpr int reps = 100;
            double best = 1e30;
            for (int b = 0; b < blocks; ++b) {
                const auto t0 = std::chrono::steady_clock::now();
                for (int r = 0; r < reps; ++r) benchmark::DoNotOptimize(最善手探索(s, inf, 3));
                const auto t1 = std::chrono::steady_clock::now();
                best = std::min(best,
                                std::chrono::duration<double, std::micro>(t1 - t0).count() / reps);
            }
            perPosition.push_back(best);
        }
    }
    std::sort(perPosition.begin(), perPosition.end());
    const std::size_t n = perPosition.size();
    st.counters["median_us"] =
        n % 2 ? perPosition[n / 2] : (perPosition[n / 2 - 1] + perPosition[n / 2]) / 2;
    st.counters["min_us"] = perPosition.front();
    st.counters["max_us"] = perPosition.back();
    st.counters["positions"] = static_cast<double>(n);
}
BENCHMARK(BM_SearchLevel3Median)->Iterations(3)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace zubeki

BENCHMARK_MAIN();
