// Figures for LEVEL4 over the 24 seeded mid-game positions: nodes per second under a node
// budget and the depth reached in one second, on one thread and on two, and the heap
// allocations of a search once the table is made. This binary counts allocations
// (tests/ai/counting_new.cpp).

#include "ai/level4.h"
#include "tests/ai/counting_new.h"
#include "tests/ai/seeded_positions.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <vector>

namespace zubeki {
namespace {

constexpr int kPositions = 24;

const std::vector<GameState>& positions() {
    static const std::vector<GameState> all = test::seededPositions(kPositions);
    return all;
}

// The positions have the upper side to move, under the check the lower side's last move may
// have left; for the lower side the same board without it.
GameState forSide(const GameState& s, Side side) {
    GameState copy = s;
    if (side == Side::Lower) {
        copy.CHECK_ACTIVE = FALSE_CODE;
        copy.初期化_チェック桝();
    }
    return copy;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// Each position searched for the upper side with a budget of `budget` nodes (over all threads);
// the best of three runs per position gives its rate (a shared machine only ever slows a run
// down). Rates are given by the wall clock and by the process's processor time, which on a
// busy machine is the fairer figure for one core; with more threads the wall clock's rate is
// what they reach together, the processor time's what each thread reaches.
void nodesPerSecond(benchmark::State& st, std::uint64_t budget, int threads) {
    Level4Search search(16, threads);
    std::vector<double> rates;
    std::vector<double> cpuRates;
    std::vector<double> depths;
    for (auto _ : st) {
        rates.clear();
        cpuRates.clear();
        depths.clear();
        for (const GameState& s : positions()) {
            double best = 0;
            double bestCpu = 0;
            int depth = 0;
            for (int run = 0; run < 3; ++run) {
                const auto t0 = std::chrono::steady_clock::now();
                const std::clock_t c0 = std::clock();
                const Level4Move m =
                    search.bestMove(s, Side::Upper, 20, Level4Limits{0, budget, 0, nullptr, {}});
                const std::clock_t c1 = std::clock();
                const auto t1 = std::chrono::steady_clock::now();
                const double secs = std::chrono::duration<double>(t1 - t0).count();
                const double cpu = static_cast<double>(c1 - c0) / CLOCKS_PER_SEC;
                best = std::max(best, static_cast<double>(m.nodes) / secs);
                if (cpu > 0) bestCpu = std::max(bestCpu, static_cast<double>(m.nodes) / cpu);
                depth = m.depth;
            }
            rates.push_back(best);
            cpuRates.push_back(bestCpu);
            depths.push_back(depth);
        }
    }
    st.counters["median_nps"] = median(rates);
    st.counters["median_nps_cpu"] = median(cpuRates);
    st.counters["min_nps"] = *std::min_element(rates.begin(), rates.end());
    st.counters["max_nps"] = *std::max_element(rates.begin(), rates.end());
    st.counters["median_depth"] = median(depths);
}

void BM_Level4NodesPerSecond(benchmark::State& st) {
    nodesPerSecond(st, static_cast<std::uint64_t>(st.range(0)), 1);
}
BENCHMARK(BM_Level4NodesPerSecond)->Arg(1000000)->Iterations(1)->Unit(benchmark::kMillisecond);

// The same on range(1) threads.
void BM_Level4NodesPerSecondOnThreads(benchmark::State& st) {
    nodesPerSecond(st, static_cast<std::uint64_t>(st.range(0)), static_cast<int>(st.range(1)));
}
BENCHMARK(BM_Level4NodesPerSecondOnThreads)
    ->Args({1000000, 2})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// One second on the real clock per position and side, on `threads` threads.
void depthInOneSecond(benchmark::State& st, int threads) {
    Level4Search search(16, threads);
    std::vector<double> depths;
    std::vector<double> rates;
    for (auto _ : st) {
        depths.clear();
        rates.clear();
        for (const GameState& s : positions())
            for (const Side side : {Side::Upper, Side::Lower}) {
                const auto t0 = std::chrono::steady_clock::now();
                const Level4Move m = search.bestMove(forSide(s, side), side, 20,
                                                     Level4Limits{1000, 0, 0, nullptr, {}});
                const auto t1 = std::chrono::steady_clock::now();
                depths.push_back(m.depth);
                rates.push_back(static_cast<double>(m.nodes) /
                                std::chrono::duration<double>(t1 - t0).count());
            }
    }
    st.counters["median_depth"] = median(depths);
    st.counters["min_depth"] = *std::min_element(depths.begin(), depths.end());
    st.counters["max_depth"] = *std::max_element(depths.begin(), depths.end());
    st.counters["median_nps"] = median(rates);
}

void BM_Level4DepthInOneSecond(benchmark::State& st) {
    depthInOneSecond(st, 1);
}
BENCHMARK(BM_Level4DepthInOneSecond)->Iterations(1)->Unit(benchmark::kMillisecond);

// The window's second of thought on range(0) threads.
void BM_Level4DepthInOneSecondOnThreads(benchmark::State& st) {
    depthInOneSecond(st, static_cast<int>(st.range(0)));
}
BENCHMARK(BM_Level4DepthInOneSecondOnThreads)->Arg(2)->Iterations(1)->Unit(benchmark::kMillisecond);

// Depth range(0) searched to the end on range(1) threads, per position and side: the nodes
// it took over all threads and the time on the real clock. On two threads the nodes tell the
// work the threads repeat; the time, on a quiet machine, how much sooner the depth is reached.
void BM_Level4ToDepth(benchmark::State& st) {
    const int depth = static_cast<int>(st.range(0));
    Level4Search search(16, static_cast<int>(st.range(1)));
    std::vector<double> nodes;
    std::vector<double> ms;
    for (auto _ : st) {
        nodes.clear();
        ms.clear();
        for (const GameState& s : positions())
            for (const Side side : {Side::Upper, Side::Lower}) {
                const auto t0 = std::chrono::steady_clock::now();
                const Level4Move m = search.bestMove(forSide(s, side), side, 20,
                                                     Level4Limits{0, 0, depth, nullptr, {}});
                const auto t1 = std::chrono::steady_clock::now();
                nodes.push_back(static_cast<double>(m.nodes));
                ms.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
            }
    }
    double totalNodes = 0;
    double totalMs = 0;
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        totalNodes += nodes[i];
        totalMs += ms[i];
    }
    st.counters["total_nodes"] = totalNodes;
    st.counters["total_ms"] = totalMs;
    st.counters["median_ms"] = median(ms);
}
BENCHMARK(BM_Level4ToDepth)
    ->Args({7, 1})
    ->Args({7, 2})
    ->Args({9, 1})
    ->Args({9, 2})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// Heap allocations of searches once the searcher (and its table) exists: should be 0.
void BM_Level4Allocations(benchmark::State& st) {
    Level4Search search(16);
    long used = 0;
    for (auto _ : st) {
        for (const GameState& s : positions())
            for (const Side side : {Side::Upper, Side::Lower}) {
                const long before = test::heapAllocations();
                benchmark::DoNotOptimize(search.bestMove(forSide(s, side), side, 20,
                                                         Level4Limits{0, 50000, 0, nullptr, {}}));
                used += test::heapAllocations() - before;
            }
    }
    st.counters["allocations"] = static_cast<double>(used);
}
BENCHMARK(BM_Level4Allocations)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace zubeki

BENCHMARK_MAIN();
