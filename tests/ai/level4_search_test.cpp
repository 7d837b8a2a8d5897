// LEVEL4's search: what it must always do (legal moves, a win in one taken, a threatened
// win in one parried, a pass when nothing moves), its budgets and the 500-move limit.
// Outcomes are judged by GameState's own routines, not by a fixed expected move.

#include "ai/level4.h"
#include "board_diagram.h"
#include "seeded_positions.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

namespace zubeki {
namespace {

using test::positionOf;

int pieceOf(Side side) {
    return side == Side::Lower ? SITA_BISHOP : UE_BISHOP;
}

bool isLegal(GameState s, const Level4Move& m) {
    if (s.移動チェック(m.移動元X, m.移動元Y, m.移動先X, m.移動先Y, m.移動前駒) != TRUE_CODE)
        return false;
    if (s.BOARD[m.移動元X][m.移動元Y] != m.移動前駒) return false;
    if (m.移動駒 == m.移動前駒) return true;
    return s.調査_駒成(m.移動元X, m.移動元Y, m.移動先X, m.移動先Y, m.移動前駒) == TRUE_CODE &&
           成駒(m.移動前駒) == m.移動駒;
}

// Plays the move through GameState's chain; answers whether it won.
bool play(GameState& s, const Level4Move& m) {
    s.駒移動(m.移動元X, m.移動元Y, m.移動先X, m.移動先Y, m.移動駒);
    s.調査_チェック桝(m.移動先X, m.移動先Y);
    const int mover = s.調査_駒手番(m.移動駒);
    const int other = mover == SIDE_SENTE ? SIDE_GOTE : SIDE_SENTE;
    s.捕獲ループ(m.移動先X, m.移動先Y, mover, other, [&s] { s.当駒除去(); });
    return s.勝利判定(m.移動前駒);
}

// Has `side` a move that wins at once, by GameState's rules?
bool hasWinInOne(const GameState& s, Side side) {
    for (int fx = 1; fx <= 9; ++fx)
        for (int fy = 1; fy <= 9; ++fy) {
            const int p = s.BOARD[fx][fy];
            if (side == Side::Lower ? !isLowerPiece(p) : !isUpperPiece(p)) continue;
            for (int tx = 1; tx <= 9; ++tx)
                for (int ty = 1; ty <= 9; ++ty) {
                    if (s.移動チェック(fx, fy, tx, ty, p) != TRUE_CODE) continue;
                    GameState copy = s;
                    Level4Move m;
                    m.移動元X = fx;
                    m.移動元Y = fy;
                    m.移動先X = tx;
                    m.移動先Y = ty;
                    m.移動前駒 = m.移動駒 = p;
                    if (play(copy, m)) return true;
                }
        }
    return false;
}

Side opponent(Side m) {
    return m == Side::Upper ? Side::Lower : Side::Upper;
}

enum class Expect { WinsNow, Parries, Passes };

struct TacticCase {
    const char* name;
    const char* board;
    Side side;
    Expect expect;
};

class Level4Tactics : public testing::TestWithParam<TacticCase> {};

TEST_P(Level4Tactics, DoesWhatItMust) {
    const TacticCase& c = GetParam();
    GameState s = positionOf(c.board);
    // Even the smallest budgets must not stop it short of these, on one thread or sharing
    // the root's moves with a helper.
    for (const int threads : {1, 2})
        for (const Level4Limits& limits :
             {Level4Limits{0, 1, 0, nullptr, {}}, Level4Limits{0, 0, 4, nullptr, {}},
              Level4Limits{0, 200000, 0, nullptr, {}}}) {
            SCOPED_TRACE(testing::Message() << threads << " threads");
            Level4Search search(1, threads);
            const Level4Move m = search.bestMove(s, c.side, 10, limits);
            if (c.expect == Expect::Passes) {
                EXPECT_TRUE(m.pass());
                continue;
            }
            ASSERT_TRUE(m.found);
            ASSERT_TRUE(isLegal(s, m));
            GameState after = s;
            const bool won = play(after, m);
            if (c.expect == Expect::WinsNow) {
                EXPECT_TRUE(won);
                EXPECT_EQ(m.score, Level4Search::kWinScore - 1);
            } else {
                EXPECT_FALSE(won);
                EXPECT_TRUE(hasWinInOne(s, opponent(c.side))) << "the case must hold a threat";
                EXPECT_FALSE(hasWinInOne(after, opponent(c.side)));
            }
        }
}

INSTANTIATE_TEST_SUITE_P(
    Diagrams, Level4Tactics,
    testing::Values(
        // The lower bishop on (5,5) has one liberty, (5,6); the upper rook slides onto it.
        TacticCase{"UpperSurrounds",
                   "........."
                   "........."
                   "........."
                   "....R...."
                   "...RbR..."
                   "........R"
                   "........."
                   "..r......"
                   ".........",
                   Side::Upper, Expect::WinsNow},
        TacticCase{"LowerSurrounds",
                   "........."
                   "........."
                   "........."
                   "....r...."
                   "...rBr..."
                   "........."
                   "........."
                   "....r...."
                   "........B",
                   Side::Lower, Expect::WinsNow},
        // Eight lower pieces in the UE camp; the rook on (9,5) fills the ninth square.
        TacticCase{"LowerFillsTheCamp", test::kLowerCampOneShort, Side::Lower, Expect::WinsNow},
        // The same threat against the lower side, which must answer it.
        TacticCase{"LowerParriesASurround",
                   "........."
                   "........."
                   "........."
                   "....R...."
                   "...RbR..."
                   "........R"
                   "........."
                   "r.r......"
                   ".........",
                   Side::Lower, Expect::Parries},
        // The upper rook on (1,2) is shut in by (1,1), (2,2) and the edge but for (1,3); the
        // lower bishop on (5,7) threatens to slide onto it.
        TacticCase{"UpperParriesASurround",
                   "r........"
                   "Rr......."
                   "........."
                   "........."
                   "........."
                   "........."
                   "....b...."
                   "........."
                   "......R..",
                   Side::Upper, Expect::Parries},
        TacticCase{"UpperHasNoMove", test::kUpperShutIn, Side::Upper, Expect::Passes}),
    [](const testing::TestParamInfo<TacticCase>& i) { return std::string(i.param.name); });

TEST(Level4Search, ScoresALossInTwoAndTheMoveLimit) {
    const GameState s = positionOf(test::kLostInTwo);
    Level4Search search(1);
    const Level4Limits deep{0, 0, 5, nullptr, {}};
    const Level4Move early = search.bestMove(s, Side::Lower, 100, deep);
    ASSERT_TRUE(early.found);
    EXPECT_EQ(early.score, -(Level4Search::kWinScore - 2));
    EXPECT_EQ(early.depth, 2); // a forced result ends the deepening

    // Move 500 is the lower side's; the game is unfinished before the upper side can win.
    const Level4Move late = search.bestMove(s, Side::Lower, 499, deep);
    ASSERT_TRUE(late.found);
    EXPECT_EQ(late.score, 0);
    EXPECT_TRUE(isLegal(s, late));
}

TEST(Level4Search, HonoursTheCheckRestriction) {
    GameState s = test::checkedRookAndFreeBishop();
    Level4Search search(1);
    const Level4Move m = search.bestMove(s, Side::Upper, 0, Level4Limits{0, 5000, 0, nullptr, {}});
    ASSERT_TRUE(m.found);
    EXPECT_EQ(m.移動元X, 9);
    EXPECT_EQ(m.移動元Y, 9);
    // The marked rook unable to move: nothing may move, so the side passes.
    s.BOARD[8][9] = SITA_ROOK;
    EXPECT_TRUE(search.bestMove(s, Side::Upper, 0, Level4Limits{0, 5000, 0, nullptr, {}}).pass());
}

// Over the seeded positions, both sides: a legal move, and the same one again for the same
// node budget, from the same searcher and from a fresh one.
TEST(Level4Search, LegalAndRepeatableUnderANodeBudget) {
    const auto positions = test::seededPositions(24);
    Level4Search first(4);
    Level4Search second(4);
    const Level4Limits budget{0, 20000, 0, nullptr, {}};
    for (std::size_t i = 0; i < positions.size(); ++i) {
        for (const Side side : {Side::Upper, Side::Lower}) {
            SCOPED_TRACE(testing::Message() << "position " << i << " side " << int(side));
            // The check left by the lower side's last move binds the upper side only.
            GameState s = positions[i];
            if (side == Side::Lower) {
                s.CHECK_ACTIVE = FALSE_CODE;
                s.初期化_チェック桝();
            }
            const Level4Move a = first.bestMove(s, side, 20, budget);
            const bool canMove = s.調査_移動先有無(pieceOf(side)) == TRUE_CODE;
            ASSERT_EQ(a.found, canMove);
            if (!a.found) continue;
            EXPECT_TRUE(isLegal(s, a));
            EXPECT_GE(a.depth, 1);
            const Level4Move b = first.bestMove(s, side, 20, budget);
            const Level4Move c = second.bestMove(s, side, 20, budget);
            for (const Level4Move& again : {b, c}) {
                EXPECT_EQ(again.移動元X, a.移動元X);
                EXPECT_EQ(again.移動元Y, a.移動元Y);
                EXPECT_EQ(again.移動先X, a.移動先X);
                EXPECT_EQ(again.移動先Y, a.移動先Y);
                EXPECT_EQ(again.移動駒, a.移動駒);
                EXPECT_EQ(again.score, a.score);
                EXPECT_EQ(again.nodes, a.nodes);
            }
        }
    }
}

// A clock that moves one millisecond each time it is read.
double tick(const void* context) {
    double& now = *static_cast<double*>(const_cast<void*>(context));
    return now += 1.0;
}

TEST(Level4Search, TimeBudgetGoesThroughTheClock) {
    const GameState s = test::seededPositions(1)[0];
    Level4Search search(4);
    double now = 0;
    Level4Limits limits{20, 0, 0, nullptr, SearchClock{&tick, &now}};
    const Level4Move m = search.bestMove(s, Side::Upper, 20, limits);
    ASSERT_TRUE(m.found);
    EXPECT_TRUE(isLegal(s, m));
    EXPECT_GE(m.depth, 1);
    // The clock is read every 1024 nodes, so 20 reads bound the work.
    EXPECT_LT(m.nodes, 40u * 1024u);
    EXPECT_LT(now, 40.0);

    // Thinking the whole time, it goes on after half the budget until the clock says stop.
    now = 0;
    limits.wholeTime = true;
    const Level4Move whole = search.bestMove(s, Side::Upper, 20, limits);
    EXPECT_TRUE(isLegal(s, whole));
    EXPECT_GE(now, 21.0); // the start and the budget's 20 readings
    EXPECT_GE(whole.nodes, m.nodes);
    EXPECT_LT(now, 40.0);
}

TEST(Level4Search, StopFlagEndsTheSearch) {
    const GameState s = test::seededPositions(1)[0];
    Level4Search search(4);
    std::atomic<bool> stop{true};
    const Level4Move early = search.bestMove(s, Side::Upper, 20, Level4Limits{0, 0, 0, &stop, {}});
    ASSERT_TRUE(early.found); // still a legal move to play
    EXPECT_TRUE(isLegal(s, early));
    EXPECT_EQ(early.depth, 0);

    // On a worker thread with no budget at all, only the flag ends it.
    stop = false;
    Level4Move answer;
    std::thread worker([&] {
        answer = search.bestMove(s, Side::Upper, 20, Level4Limits{0, 0, 0, &stop, {}});
    });
    stop = true;
    worker.join();
    ASSERT_TRUE(answer.found);
    EXPECT_TRUE(isLegal(s, answer));
    EXPECT_LT(answer.depth, Level4Search::kMaxDepth);
}

// A pass when the side has no move; after a pass of the other side (PASS_COUNT 1) the
// search goes on through the passes that follow.
TEST(Level4Search, PassesWithoutMoves) {
    GameState s = positionOf("......rBR"
                             "......b.b"
                             "........."
                             "........."
                             "........."
                             "........."
                             "........."
                             "........."
                             "r........");
    Level4Search search(1);
    EXPECT_TRUE(search.bestMove(s, Side::Upper, 0, Level4Limits{0, 1000, 0, nullptr, {}}).pass());
    // The lower side moves; the upper side cannot answer and passes, and so on.
    s.PASS_COUNT = 1;
    const Level4Move m = search.bestMove(s, Side::Lower, 0, Level4Limits{0, 0, 3, nullptr, {}});
    ASSERT_TRUE(m.found);
    EXPECT_TRUE(isLegal(s, m));
}

} // namespace
} // namespace zubeki

namespace zubeki {
namespace {

// A move back into a position the game has seen is a draw the searching side does not want:
// it plays another move, or it scores that move as the draw (worth less the more often the
// game has stood where it stands now). Seeded positions, both sides.
TEST(Level4Search, ShunsPositionsTheGameHasSeen) {
    const auto positions = test::seededPositions(12);
    Level4Search search(4);
    const Level4Limits budget{0, 20000, 0, nullptr, {}};
    int avoided = 0;
    for (std::size_t i = 0; i < positions.size(); ++i)
        for (const Side side : {Side::Upper, Side::Lower}) {
            SCOPED_TRACE(testing::Message() << "position " << i << " side " << int(side));
            GameState s = positions[i];
            s.PASS_COUNT = 0;
            if (side == Side::Lower) {
                s.CHECK_ACTIVE = FALSE_CODE;
                s.初期化_チェック桝();
            }
            const Level4Move first = search.bestMove(s, side, 20, budget);
            if (!first.found || Level4Search::isWinScore(first.score) ||
                Level4Search::isLossScore(first.score))
                continue;
            GameState after = s;
            if (play(after, first)) continue;
            const std::uint64_t root = level4PositionKey(s, side);
            const std::uint64_t next = level4PositionKey(after, opponent(side));
            const std::uint64_t seenOnce[] = {next};
            const std::uint64_t seenThrice[] = {root, next, root};
            const struct {
                Level4History history;
                int contempt;
            } cases[] = {{{seenOnce, 1}, Level4Search::kContempt},
                         {{seenThrice, 3}, 3 * Level4Search::kContempt}};
            for (const auto& c : cases) {
                const Level4Move again = search.bestMove(s, side, 20, budget, c.history);
                ASSERT_TRUE(again.found);
                EXPECT_TRUE(isLegal(s, again));
                const bool same = again.移動元X == first.移動元X &&
                                  again.移動元Y == first.移動元Y &&
                                  again.移動先X == first.移動先X &&
                                  again.移動先Y == first.移動先Y && again.移動駒 == first.移動駒;
                if (same)
                    EXPECT_EQ(again.score, -c.contempt);
                else
                    EXPECT_GE(again.score, -c.contempt);
                avoided += same ? 0 : 1;
            }
        }
    EXPECT_GT(avoided, 0);
}

} // namespace
} // namespace zubeki
