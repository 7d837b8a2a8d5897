// The move list: appending, truncation after stepping back, and its 500-move bound.
#include <gtest/gtest.h>

#include <array>

#include "game/codes.h"
#include "record/movelist.h"

namespace zubeki {
namespace {

// A distinct, recognisable move n: from, to, piece before, code after.
std::array<int, 6> move(int n) {
    return {n % 9 + 1,
            n / 9 % 9 + 1,
            (n + 4) % 9 + 1,
            (n + 2) % 9 + 1,
            n % 2 ? SITA_ROOK : UE_BISHOP,
            n % 2 ? SITA_ROOK_PROMOTED : UE_BISHOP};
}

bool append(MoveList& list, int n, int target = EMPTY) {
    const auto m = move(n);
    return list.手順保存(m[0], m[1], m[2], m[3], m[4], m[5], target);
}

std::array<int, 6> entry(const MoveList& l, int p) {
    return {l.REC_FROM_X[p], l.REC_FROM_Y[p], l.REC_TO_X[p],
            l.REC_TO_Y[p],   l.REC_PIECE[p],  l.REC_RESULT[p]};
}

// Entry 0 reads as "no move" for the move before the first; the arrays lie side by side, so
// a write one past the end of one array would land in entry 0 of the next.
void expectEntryZeroUntouched(const MoveList& l) {
    EXPECT_EQ(entry(l, 0), (std::array<int, 6>{}));
    EXPECT_EQ(l.REC_TARGET[0], 0);
}

TEST(MoveList, AppendsAfterThePositionAndClearsForANewGame) {
    MoveList list;
    EXPECT_EQ(list.RECORD_POS, 0);
    EXPECT_EQ(list.RECORD_LEN, 0);
    for (int n = 1; n <= 3; ++n) ASSERT_TRUE(append(list, n, n == 2 ? UE_ROOK : EMPTY));
    EXPECT_EQ(list.RECORD_POS, 3);
    EXPECT_EQ(list.RECORD_LEN, 3);
    for (int n = 1; n <= 3; ++n) EXPECT_EQ(entry(list, n), move(n));
    // The destination's content is stored as the caller saw it.
    EXPECT_EQ(list.REC_TARGET[1], EMPTY);
    EXPECT_EQ(list.REC_TARGET[2], UE_ROOK);
    expectEntryZeroUntouched(list);

    list.clear();
    EXPECT_EQ(list.RECORD_POS, 0);
    EXPECT_EQ(list.RECORD_LEN, 0);
    ASSERT_TRUE(append(list, 7));
    EXPECT_EQ(entry(list, 1), move(7));
    EXPECT_EQ(list.RECORD_LEN, 1);
}

TEST(MoveList, AMoveAfterSteppingBackDiscardsTheRest) {
    MoveList list;
    for (int n = 1; n <= 12; ++n) ASSERT_TRUE(append(list, n));
    list.RECORD_POS = 5; // stepped back to move 5
    ASSERT_TRUE(append(list, 40));
    EXPECT_EQ(list.RECORD_POS, 6);
    EXPECT_EQ(list.RECORD_LEN, 6);
    EXPECT_EQ(entry(list, 5), move(5));
    EXPECT_EQ(entry(list, 6), move(40));

    list.RECORD_POS = 0; // back to the starting position
    ASSERT_TRUE(append(list, 41));
    EXPECT_EQ(list.RECORD_LEN, 1);
    EXPECT_EQ(entry(list, 1), move(41));
}

TEST(MoveList, HoldsFiveHundredMovesAndNoMore) {
    MoveList list;
    for (int n = 1; n <= 500; ++n) ASSERT_TRUE(append(list, n)) << "move " << n;
    EXPECT_FALSE(append(list, 501, UE_ROOK));
    EXPECT_EQ(list.RECORD_POS, 500);
    EXPECT_EQ(list.RECORD_LEN, 500);
    EXPECT_EQ(entry(list, 500), move(500));
    EXPECT_EQ(list.REC_TARGET[500], EMPTY);
    expectEntryZeroUntouched(list);

    // One step back makes room for one move again, which replaces the last.
    list.RECORD_POS = 499;
    EXPECT_TRUE(append(list, 600));
    EXPECT_EQ(entry(list, 500), move(600));
    EXPECT_EQ(list.RECORD_LEN, 500);
    EXPECT_FALSE(append(list, 601));
    expectEntryZeroUntouched(list);
}

} // namespace
} // namespace zubeki
