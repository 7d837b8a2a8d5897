// The position notation and move strings: what is written reads back the same, and anything
// malformed is refused with its reason.

#include "game/moves.h"
#include "game/position_text.h"
#include "game/state.h"

#include <gtest/gtest.h>

#include <random>

namespace zubeki {
namespace {

// Everything the rules need to go on agrees between two positions.
void expectSamePosition(const Position& a, const Position& b) {
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) {
            ASSERT_EQ(a.BOARD[x][y], b.BOARD[x][y]) << x << "," << y;
            ASSERT_EQ(a.CHECK_ACTIVE == TRUE_CODE && a.CHECK_SQUARES[x][y] == TRUE_CODE,
                      b.CHECK_ACTIVE == TRUE_CODE && b.CHECK_SQUARES[x][y] == TRUE_CODE);
        }
    ASSERT_EQ(a.PASS_COUNT, b.PASS_COUNT);
    ASSERT_EQ(a.MOVE_COUNT, b.MOVE_COUNT);
}

TEST(PositionText, ReadsBackEveryPositionOfSeededGames) {
    const ReadPosition start = 局面読込(START_POSITION);
    ASSERT_TRUE(start.ok) << start.error;
    GameState initial;
    initial.初期設定();
    expectSamePosition(start.state, initial);
    EXPECT_EQ(start.side, -1);

    int positions = 0, checked = 0, passed = 0, promotedMoves = 0;
    for (unsigned seed = 1; seed <= 60; ++seed) {
        std::mt19937 rng(seed);
        Position s = start.state;
        int side = -1;
        for (int ply = 0; ply < 120; ++ply) {
            const std::string text = 局面表記(s, side);
            const ReadPosition read = 局面読込(text);
            ASSERT_TRUE(read.ok) << read.error << "\n" << text;
            EXPECT_EQ(局面表記(read.state, read.side), text);
            EXPECT_EQ(read.side, side);
            EXPECT_EQ(sign(read.state.SIDE), side);
            expectSamePosition(read.state, s);
            ++positions;
            checked += s.CHECK_ACTIVE == TRUE_CODE ? 1 : 0;
            passed += s.PASS_COUNT;

            LegalMoves legal;
            合法手一覧(s, side, legal);
            // Every legal move reads back from its string as itself.
            for (const Move& m : legal) {
                std::string why;
                const auto back = 指し手解釈(s, side, 指し手文字列(m), why);
                ASSERT_TRUE(back.has_value()) << why;
                EXPECT_EQ(*back, m);
                promotedMoves += m.promotes() ? 1 : 0;
            }
            const AfterMove after = 指し手後(s, side, legal.at[rng() % legal.size]);
            if (after.ended) break;
            s = after.state;
            side = -side;
        }
    }
    // The games went through checks and promotions.
    EXPECT_GT(positions, 1000);
    EXPECT_GT(checked, 20);
    EXPECT_GT(promotedMoves, 100);
    (void)passed;
}

TEST(PositionText, RefusesMalformedPositionsWithTheReason) {
    struct Case {
        const char* text;
        const char* reason;
    };
    const Case cases[] = {
        {"6rbr/6brb/6rbr/9/9/9/RBR6/BRB6/RBR6 l - 0", "5 fields"},
        {"6rbr/6brb/6rbr/9/9/9/RBR6/BRB6/RBR6  l - 0 1", "not 6"},
        {"", "not 1"},
        {"6rbr/6brb/6rbr/9/9/9/RBR6/BRB6 l - 0 1", "8 ranks"},
        {"6rb/6brb/6rbr/9/9/9/RBR6/BRB6/RBR6 l - 0 1", "rank 1 holds 8 squares"},
        {"6rbr/6brb/6rbr/9/9/9/RBR6/BRB7/RBR6 l - 0 1", "rank 8 holds 10 squares"},
        {"6rbr/6brb/6rbr/9/9/9/RBR6/BRB6/RBR61 l - 0 1", "rank 9 holds 10 squares"},
        {"6rbr/6brb/6rbx/9/9/9/RBR6/BRB6/RBR6 l - 0 1", "unknown letter 'x'"},
        {"6rbr/6brb/6rb+/9/9/9/RBR6/BRB6/RBR6 l - 0 1", "unknown letter '+'"},
        {"6rbr/6brb/6rbr/9/9/9/RBR6/BRB6/RBR6 x - 0 1", "neither l nor u"},
        {"6rbr/6brb/6rbr/9/9/9/RBR6/BRB6/RBR6 l 1a 0 1", "1a holds no piece of the side to move"},
        {"6rbr/6brb/6rbr/9/9/9/RBR6/BRB6/RBR6 l 5e 0 1", "5e holds no piece of the side to move"},
        {"6rbr/6brb/6rbr/9/9/9/RBR6/BRB6/RBR6 l 9g,9g 0 1", "9g is given twice"},
        {"6rbr/6brb/6rbr/9/9/9/RBR6/BRB6/RBR6 l 9z 0 1", "'9z' is no square"},
        {"6rbr/6brb/6rbr/9/9/9/RBR6/BRB6/RBR6 l 9g, 0 1", "'' is no square"},
        {"6rbr/6brb/6rbr/9/9/9/RBR6/BRB6/RBR6 l - 2 1", "passes '2'"},
        {"6rbr/6brb/6rbr/9/9/9/RBR6/BRB6/RBR6 l - 0 0", "move number '0'"},
        {"6rbr/6brb/6rbr/9/9/9/RBR6/BRB6/RBR6 l - 0 100000", "move number '100000'"},
        {"6rbr/6brb/6rbr/9/9/9/RBR6/BRB6/RBR6 l - 0 x1", "move number 'x1'"},
        {"6rbr/6brb/6rbr/9/9/9/RBRR5/BRB6/RBR6 l - 0 1", "lower side has more than nine"},
    };
    for (const Case& c : cases) {
        const ReadPosition r = 局面読込(c.text);
        EXPECT_FALSE(r.ok) << c.text;
        EXPECT_NE(r.error.find(c.reason), std::string::npos) << c.text << "\n" << r.error;
        EXPECT_EQ(r.error.find('\n'), std::string::npos);
    }
    // A very long line is quoted back cut short.
    const ReadPosition r =
        局面読込(std::string(START_POSITION.substr(0, 52)) + " " + std::string(100000, '7'));
    EXPECT_LT(r.error.size(), 200u);
}

TEST(MoveStrings, WrongMovesAreRefusedWithTheReason) {
    const ReadPosition start = 局面読込(START_POSITION);
    struct Case {
        const char* text;
        const char* reason;
    };
    const Case cases[] = {
        {"9g9f+", "not a legal move"}, // no promotion outside the enemy camp
        {"9g8f", "not a legal move"},  {"1c1d", "not a legal move"}, // the upper side's rook
        {"pass", "has a legal move"},  {"9g9", "not a move"},        {"9g9f++", "not a move"},
        {"0g9f", "not a move"},        {"", "not a move"},
    };
    for (const Case& c : cases) {
        std::string why;
        EXPECT_FALSE(指し手解釈(start.state, start.side, c.text, why).has_value()) << c.text;
        EXPECT_NE(why.find(c.reason), std::string::npos) << c.text << ": " << why;
    }
    // Strings name squares by file label and rank letter; a promotion gets its '+'.
    EXPECT_EQ(指し手文字列({1, 7, 1, 6, SITA_ROOK, SITA_ROOK}), "9g9f");
    EXPECT_EQ(指し手文字列({7, 3, 9, 1, SITA_BISHOP, SITA_BISHOP_PROMOTED}), "3c1a+");
    EXPECT_EQ(指し手文字列(Move{}), "pass");
}

} // namespace
} // namespace zubeki
