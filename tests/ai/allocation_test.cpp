// The search runs once per computer move over hundreds of trial positions; it must not
// touch the heap. This binary counts every allocation
// (counting_new.cpp).

#include "ai/evaluation.h"
#include "ai/level4.h"
#include "ai/search.h"
#include "counting_new.h"
#include "seeded_positions.h"

#include <gtest/gtest.h>

namespace zubeki {
namespace {

TEST(Allocation, CountingWorks) {
    const long before = test::heapAllocations();
    // Kept in a volatile, so that the compiler cannot leave the allocation out.
    int* volatile p = new int(7);
    const long after = test::heapAllocations();
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
            const long before = test::heapAllocations();
            const ComputerMove upper = 最善手探索(s, inf, level, real);
            const ComputerMove lower = 下手番探索(s, inf, level, ClockDigit::fixed(3));
            used += test::heapAllocations() - before;
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
        for (const Side side : {Side::Upper, Side::Lower}) {
            const long before = test::heapAllocations();
            const Level4Move a =
                search.bestMove(s, side, 20, Level4Limits{0, 20000, 0, nullptr, {}});
            const Level4Move b =
                search.bestMove(s, side, 20, Level4Limits{5, 0, 0, nullptr, clock});
            used += test::heapAllocations() - before;
            nodes += a.nodes + b.nodes;
        }
    EXPECT_EQ(used, 0);
    EXPECT_GT(nodes, 100000u);
}

// Its helper threads are made with the searcher and wait between searches: a search on two
// threads allocates nothing either, on any thread.
TEST(Allocation, Level4OnTwoThreadsAllocatesNothing) {
    const auto positions = test::seededPositions(4);
    Level4Search search(2, 2);
    long used = 0;
    std::uint64_t nodes = 0;
    for (const GameState& s : positions) {
        const long before = test::heapAllocations();
        const Level4Move m =
            search.bestMove(s, Side::Upper, 20, Level4Limits{0, 50000, 0, nullptr, {}, 2, nullptr});
        used += test::heapAllocations() - before;
        nodes += m.nodes;
    }
    EXPECT_EQ(used, 0);
    EXPECT_GT(nodes, 100000u);
}

} // namespace
} // namespace zubeki
