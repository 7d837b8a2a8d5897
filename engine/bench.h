#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

// The build's signature: LEVEL4 on one thread searches a fixed set of positions to a fixed
// depth. The nodes it counts depend only on the search and the evaluation, never on the
// machine or the clock, so two builds that search alike print the same total and a change
// of either shows as a new one.
namespace zubeki::engine {

inline constexpr int BENCH_DEPTH = 9;

struct BenchResult {
    std::uint64_t nodes = 0; // over every position: the signature
    double ms = 0;
    bool ok = false; // every position read
};

// Searches every bench position to `depth` and reports one line a position through `say`.
BenchResult runBench(int depth, const std::function<void(std::string_view)>& say);

} // namespace zubeki::engine
