// The position as one value: a move played from a hand-made position gives the outcome and the
// position the rules say, in notation, and copy-make leaves the position it started from as it was;
// a trial and the steps of 進/戻 are taken back exactly.
#include <gtest/gtest.h>

#include <string>

#include "game/position.h"

namespace zubeki {
namespace {

Position read(const char* text) {
    std::string why;
    const std::optional<Position> p = Position::fromText(text, why);
    if (!p) ADD_FAILURE() << text << ": " << why;
    return p.value_or(Position{});
}

struct PlayCase {
    const char* name;
    const char* before;
    const char* move;
    GameEnd end;
    const char* after;
    const char* captured; // squares in the order they were emptied
    int groups;
};

// clang-format off
const PlayCase kPlays[] = {
    // The rook closes in both bishops: the left neighbour's group goes first. The bishop on 7a was
    // in check when it vanished, and the check square stays marked.
    {"TwoGroupsInNeighbourOrder", "b1bR5/R1R6/9/9/1R7/9/9/9/9 l - 0 1", "8e8a", GameEnd::Capture,
     "1R1R5/R1R6/9/9/9/9/9/9/9 u 7a 0 2", "9a 7a", 2},
    {"CampFilled", "6RRR/6RRR/7RR/9/9/6R2/9/9/9 l - 0 1", "3f3c", GameEnd::Camp,
     "6RRR/6RRR/6RRR/9/9/9/9/9/9 u - 0 2", "", 0},
    {"CheckOnAPieceThatCanMove", "9/9/4r4/9/9/9/9/3R5/9 l - 0 1", "6h6c", GameEnd::None,
     "9/9/3Rr4/9/9/9/9/9/9 u 5c 0 2", "", 0},
    {"UpperSideCapturesToo", "9/9/9/9/8r/9/9/9/7rB u - 0 4", "1e1h", GameEnd::Capture,
     "9/9/9/9/9/9/9/8r/7r1 l 1i 0 5", "1i", 1},
    {"PassOfASideWithoutAMove", "B8/1b7/9/9/9/9/9/9/9 l - 0 3", "pass", GameEnd::None,
     "B8/1b7/9/9/9/9/9/9/9 u - 1 3", "", 0},
    {"SecondPassInARowDraws", "B8/1b7/9/9/9/9/9/9/9 l - 1 3", "pass", GameEnd::Draw,
     "B8/1b7/9/9/9/9/9/9/9 u - 1 3", "", 0},
    {"PromotingInTheEnemyCamp", "9/9/9/9/6R2/9/9/9/9 l - 0 1", "3e3c+", GameEnd::None,
     "9/9/6+R2/9/9/9/9/9/9 u - 0 2", "", 0},
    {"MoveAfterAPassClearsIt", "9/9/9/9/6R2/9/9/9/9 l - 1 1", "3e3c", GameEnd::None,
     "9/9/6R2/9/9/9/9/9/9 u - 0 2", "", 0},
};
// clang-format on

TEST(Position, PlaysEveryKindOfOutcome) {
    for (const PlayCase& c : kPlays) {
        SCOPED_TRACE(c.name);
        const Position before = read(c.before);
        std::string why;
        const std::optional<Move> m = before.moveFromText(c.move, why);
        ASSERT_TRUE(m) << why;
        EXPECT_TRUE(before.isLegal(*m));
        EXPECT_EQ(指し手文字列(*m), c.move);

        MoveOutcome outcome;
        const Position after = before.after(*m, &outcome);
        EXPECT_EQ(after.text(), c.after);
        EXPECT_EQ(outcome.end, c.end);
        EXPECT_EQ(outcome.groups, c.groups);
        std::string captured;
        for (const Square& sq : outcome.captured) {
            if (!captured.empty()) captured += ' ';
            captured += squareText(sq.x, sq.y);
        }
        EXPECT_EQ(captured, c.captured);

        // Copy-make: the position played from is untouched, its notation reads back the same.
        EXPECT_EQ(before.text(), c.before);
        EXPECT_EQ(read(before.text().c_str()), before);
        Position played = before;
        played.play(*m);
        EXPECT_EQ(played, after);
        if (m->pass()) continue;

        // A trial sets the piece down and nothing else, and is taken back exactly.
        Position tried = before;
        const int held = tried.tryMove(*m);
        for (const Square& sq : outcome.captured) EXPECT_NE(tried.BOARD[sq.x][sq.y], EMPTY);
        tried.untry(*m, held);
        EXPECT_EQ(tried, before);
        // 進 and 戻 through a list: the same squares as the move but for the groups it took,
        // which stay; and back to the position before it, number and all.
        Position stepped = before;
        stepped.stepForward(*m);
        EXPECT_EQ(stepped.MOVE_COUNT, after.MOVE_COUNT);
        for (int x = 1; x <= 9; ++x)
            for (int y = 1; y <= 9; ++y)
                if (after.BOARD[x][y] != EMPTY) {
                    EXPECT_EQ(stepped.BOARD[x][y], after.BOARD[x][y]);
                }
        stepped.stepBack(*m, held, nullptr);
        EXPECT_EQ(stepped, before);
    }
}

TEST(Position, RefusesWhatTheRulesDoNotAllow) {
    struct Case {
        const char* position;
        const char* move;
        const char* why;
    };
    const Case cases[] = {
        // A promoted piece steps through but never stops inside its own camp.
        {"9/9/9/9/9/1+R7/9/9/9 l - 0 1", "8f8g", "not a legal move"},
        // While a piece is in check only the checked pieces move.
        {"8r/9/3Rr4/9/9/9/9/9/9 u 5c 0 2", "1a2a", "not a legal move"},
        // Pieces never land on one another, never jump, never go back towards their own camp.
        {"9/9/9/9/9/9/RR7/9/9 l - 0 1", "9g8g", "not a legal move"},
        {"9/9/9/9/9/9/RR7/9/9 l - 0 1", "9g7g", "not a legal move"},
        {"9/9/9/9/9/9/R8/9/9 l - 0 1", "9g9h", "not a legal move"},
        // Promotion only arriving in the enemy's camp; a pass only without a move.
        {"9/9/9/9/9/9/R8/9/9 l - 0 1", "9g9f+", "not a legal move"},
        {"9/9/9/9/9/9/R8/9/9 l - 0 1", "pass", "has a legal move"},
        {"9/9/9/9/9/9/R8/9/9 l - 0 1", "9g9", "is not a move"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.position) + " " + c.move);
        std::string why;
        EXPECT_FALSE(read(c.position).moveFromText(c.move, why));
        EXPECT_NE(why.find(c.why), std::string::npos) << why;
    }
}

TEST(Position, OffersBothPromotionChoicesAndOnePassWithoutAMove) {
    LegalMoves legal;
    read("9/9/9/9/6R2/9/9/9/9 l - 0 1").legalMoves(legal);
    int intoCamp = 0, promoting = 0;
    for (const Move& m : legal) {
        intoCamp += inUeCamp(m.移動先X, m.移動先Y) ? 1 : 0;
        promoting += m.promotes() ? 1 : 0;
    }
    EXPECT_EQ(intoCamp, 2 * promoting); // each move into the camp once plain, once promoting
    EXPECT_EQ(promoting, 3);            // 3c, 3b and 3a of the rook's way up

    read("B8/1b7/9/9/9/9/9/9/9 l - 0 3").legalMoves(legal);
    ASSERT_EQ(legal.size, 1);
    EXPECT_TRUE(legal.at[0].pass());
}

} // namespace
} // namespace zubeki
