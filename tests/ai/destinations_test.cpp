#include "board_diagram.h"
#include "game/moves.h"
#include "seeded_positions.h"

#include <gtest/gtest.h>

#include <vector>

namespace zubeki {
namespace {

// The line walker must agree with the rule book square for square, for every piece code
// put on every square (occupied or not, as the check survey asks it), with and without a
// check restriction.
TEST(LegalDestinations, AgreeWithTheMoveCheck) {
    std::vector<GameState> positions = test::seededPositions(30);
    GameState start;
    start.初期設定();
    positions.push_back(start);
    positions.push_back(test::positionOf("h.......d"
                                         ".r.....B."
                                         "..D...b.."
                                         "........."
                                         "R...H...r"
                                         "........."
                                         "..B...d.."
                                         ".b.....R."
                                         "H.......h"));
    // Two marked squares: one of them usually holds a piece, the other is empty.
    GameState checked = positions.front();
    checked.CHECK_ACTIVE = TRUE_CODE;
    checked.CHECK_SQUARES[5][5] = TRUE_CODE;
    checked.CHECK_SQUARES[8][2] = TRUE_CODE;
    positions.push_back(checked);

    const int codes[] = {UE_BISHOP,   UE_BISHOP_PROMOTED,
                         UE_ROOK,     UE_ROOK_PROMOTED,
                         SITA_BISHOP, SITA_BISHOP_PROMOTED,
                         SITA_ROOK,   SITA_ROOK_PROMOTED,
                         EMPTY,       850};
    for (const GameState& s : positions)
        for (int x = 1; x <= 9; ++x)
            for (int y = 1; y <= 9; ++y)
                for (int code : codes) {
                    const SquareSet set = legalDestinations(s, x, y, code);
                    int expectedCount = 0;
                    for (int i = 1; i <= 9; ++i)
                        for (int j = 1; j <= 9; ++j) {
                            const bool legal = s.移動チェック(x, y, i, j, code) == TRUE_CODE;
                            expectedCount += legal ? 1 : 0;
                            ASSERT_EQ(set.contains(i, j), legal)
                                << "code " << code << " from (" << x << "," << y << ") to (" << i
                                << "," << j << ")";
                        }
                    ASSERT_EQ(set.size(), expectedCount);
                }
}

TEST(SquareSet, VisitsSquaresWithXOuter) {
    SquareSet set;
    set.add(9, 9);
    set.add(1, 9);
    set.add(2, 1);
    set.add(8, 2); // square 64, the first of the high word
    set.add(1, 1);
    std::vector<std::pair<int, int>> seen;
    set.forEach([&](int x, int y) { seen.emplace_back(x, y); });
    const std::vector<std::pair<int, int>> expected = {{1, 1}, {1, 9}, {2, 1}, {8, 2}, {9, 9}};
    EXPECT_EQ(seen, expected);
}

} // namespace
} // namespace zubeki
