// The search runs once per computer move over hundreds of trial positions; it must not
// touch the heap. This binary replaces the global operator new to count every allocation.

#include "ai/evaluation.h"
#include "ai/level4.h"
#include "ai/search.h"
#include "seeded_positions.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<long> allocations{0};

void* counted(std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
} // namespace

void* operator new(std::size_t size) {
    return counted(size);
}
void* operator new[](std::size_t size) {
    return counted(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    allocations.fetch_add(1, std::memory_order_relaxed);
    return std::malloc(size == 0 ? 1 : size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    allocations.fetch_add(1, std::memory_order_relaxed);
    return std::malloc(size == 0 ? 1 : size);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}

namespace zubeki {
namespace {

TEST(Allocation, CountingWorks) {
    const long before = allocations.load();
    int* p = new int(7);
    const long after = allocations.load();
    delete p;
    EXPECT_EQ(after - before, 1);
}

TEST(Allocation, SearchAndEvaluationAllocateNothing) {
    const auto positions = test::seededPositions(20);
    ClockDigit real; // the wall clock, read once first so its one-off set-up is not counted
    (void)real();
    long used = 0;
    int searched = 0;
    for (const GameState& original : positions) {
        for (int level = 1; level <= 3; ++level) {
            GameState s = original;
            Influence inf;
            const long before = allocations.load();
            const ComputerMove upper = 最善手探索(s, inf, level, real);
            const ComputerMove lower = 下手番探索(s, inf, level, ClockDigit::fixed(3));
            used += allocations.load() - before;
            searched += upper.found ? 1 : 0;
            searched += lower.found ? 1 : 0;
        }
    }
    EXPECT_EQ(used, 0);
    EXPECT_GT(searched, 0);
}

// LEVEL4 makes its table and working space once, when the searcher is made; searches for
// either side, under a node budget and on the real clock, then allocate nothing.
TEST(Allocation, Level4SearchAllocatesNothingAfterTheTable) {
    const auto positions = test::seededPositions(8);
    Level4Search search(2);
    SearchClock clock;
    (void)clock();
    long used = 0;
    std::uint64_t nodes = 0;
    for (const GameState& s : positions)
        for (const Mover side : {Mover::Upper, Mover::Lower}) {
            const long before = allocations.load();
            const Level4Move a =
                search.bestMove(s, side, 20, Level4Limits{0, 20000, 0, nullptr, {}});
            const Level4Move b =
                search.bestMove(s, side, 20, Level4Limits{5, 0, 0, nullptr, clock});
            used += allocations.load() - before;
            nodes += a.nodes + b.nodes;
        }
    EXPECT_EQ(used, 0);
    EXPECT_GT(nodes, 100000u);
}

} // namespace
} // namespace zubeki
