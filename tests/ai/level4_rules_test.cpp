// LEVEL4 searches its own compact board. These games hold it to GameState's routines move
// by move: the legal moves with the check restriction and promotion, the pass, the check
// squares, the capture and camp wins, the one-move win finder, the hash and make/unmake.

#include "ai/level4.h"
#include "board_diagram.h"
#include "seeded_positions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <tuple>
#include <vector>

namespace zubeki {
namespace {

using level4::Move;
using level4::MoveList;
using level4::Position;
using level4::squareOf;

// (from x, from y, to x, to y, code it stands with afterwards)
using Played = std::tuple<int, int, int, int, int>;

std::vector<Played> gameStateMoves(GameState& s, Side side) {
    std::vector<Played> out;
    for (int fx = 1; fx <= 9; ++fx)
        for (int fy = 1; fy <= 9; ++fy) {
            const int p = s.BOARD[fx][fy];
            if (side == Side::Lower ? !isLowerPiece(p) : !isUpperPiece(p)) continue;
            for (int tx = 1; tx <= 9; ++tx)
                for (int ty = 1; ty <= 9; ++ty) {
                    if (s.移動チェック(fx, fy, tx, ty, p) != TRUE_CODE) continue;
                    out.emplace_back(fx, fy, tx, ty, p);
                    if (s.調査_駒成(fx, fy, tx, ty, p) == TRUE_CODE)
                        out.emplace_back(fx, fy, tx, ty, 成駒(p));
                }
        }
    std::sort(out.begin(), out.end());
    return out;
}

Played asPlayed(const Position& p, Move m) {
    const std::int8_t c = p.at(m.from);
    const std::int8_t after = m.promote ? static_cast<std::int8_t>(c > 0 ? c + 1 : c - 1) : c;
    return {level4::xOf(m.from), level4::yOf(m.from), level4::xOf(m.to), level4::yOf(m.to),
            level4::gameCodeOf(after)};
}

std::vector<Played> positionMoves(const Position& p) {
    MoveList list;
    p.generate(list);
    std::vector<Played> out;
    for (int i = 0; i < list.size; ++i) out.push_back(asPlayed(p, list.moves[i]));
    std::sort(out.begin(), out.end());
    return out;
}

// The move that ends with `code` on the destination: a promotion when the code changes.
Move moveOf(const Position& p, const Played& m) {
    const auto [fx, fy, tx, ty, code] = m;
    const bool promotes = level4::gameCodeOf(p.at(fx, fy)) != code;
    return Move{static_cast<std::uint8_t>(squareOf(fx, fy)),
                static_cast<std::uint8_t>(squareOf(tx, ty)),
                static_cast<std::uint8_t>(promotes ? 1 : 0), 0};
}

// The move as the window plays it: move, check survey, capture loop. Answers the win.
bool playOnGameState(GameState& s, const Played& m) {
    const auto [fx, fy, tx, ty, code] = m;
    const int before = s.BOARD[fx][fy];
    s.駒移動(fx, fy, tx, ty, code);
    s.調査_チェック桝(tx, ty);
    s.PASS_COUNT = 0;
    const int mover = s.調査_駒手番(code);
    const int other = mover == SIDE_SENTE ? SIDE_GOTE : SIDE_SENTE;
    s.捕獲ループ(tx, ty, mover, other, [&s] { s.当駒除去(); });
    return s.勝利判定(before);
}

void expectSameBoard(const GameState& s, const Position& p) {
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) {
            ASSERT_EQ(level4::gameCodeOf(p.at(x, y)), s.BOARD[x][y]) << x << "," << y;
            const bool marked = s.CHECK_ACTIVE == TRUE_CODE && s.CHECK_SQUARES[x][y] == TRUE_CODE;
            ASSERT_EQ(p.restricted() && p.marks().has(squareOf(x, y)), marked) << x << "," << y;
        }
    ASSERT_EQ(p.restricted(), s.CHECK_ACTIVE == TRUE_CODE);
}

struct Coverage {
    int plies = 0, checks = 0, promotions = 0, captureWins = 0, campWins = 0, passes = 0;
    int winsFound = 0;
};

// One seeded game of random legal moves, the two boards compared after every step.
void playAndCompare(unsigned seed, Coverage& seen) {
    std::mt19937 rng(seed);
    GameState s;
    s.初期設定();
    // Both play modes, so the side codes behind the capture test differ from game to game.
    s.PLAY_MODE = seed % 3 == 0 ? MODE_MAN : MODE_COM;
    s.MAN_SIDE = seed % 2 == 0 ? SIDE_SENTE : SIDE_GOTE;
    s.COM_SIDE = s.MAN_SIDE == SIDE_SENTE ? SIDE_GOTE : SIDE_SENTE;
    Side side = seed % 4 < 2 ? Side::Lower : Side::Upper;
    Position p = Position::from(s, side, 0);
    level4::GroupScan enemy;

    for (int ply = 0; ply < 300; ++ply) {
        SCOPED_TRACE(testing::Message() << "seed " << seed << " ply " << ply);
        ASSERT_EQ(p.toMove(), side);
        ASSERT_EQ(p.key(), p.freshKey());
        const std::vector<Played> legal = gameStateMoves(s, side);
        ASSERT_EQ(positionMoves(p), legal);
        ASSERT_EQ(p.hasMove(),
                  s.調査_移動先有無(side == Side::Lower ? SITA_BISHOP : UE_BISHOP) == TRUE_CODE);

        if (legal.empty()) {
            ++seen.passes;
            if (s.パス判定(side == Side::Lower ? SITA_BISHOP : UE_BISHOP) == PassOutcome::Draw)
                return;
            ASSERT_EQ(p.passCount(), 0);
            level4::Undo u;
            p.makePass(u);
            ASSERT_EQ(p.passCount(), 1);
            side = p.toMove();
            continue;
        }

        // Which moves win, by GameState on a copy and by the compact board.
        bool anyWin = false;
        for (const Played& m : legal) {
            GameState copy = s;
            const bool wins = playOnGameState(copy, m);
            ASSERT_EQ(p.moveWins(moveOf(p, m)), wins);
            anyWin = anyWin || wins;
        }
        p.scanGroups(side == Side::Upper ? Side::Lower : Side::Upper, enemy);
        Move found{};
        ASSERT_EQ(p.findWin(enemy, &found), anyWin);
        if (anyWin) {
            ++seen.winsFound;
            ASSERT_TRUE(p.moveWins(found));
        }

        // make and unmake leave everything as it was.
        {
            const Position before = p;
            level4::Undo u;
            for (const Played& m : legal) {
                p.make(moveOf(p, m), u);
                p.unmake(moveOf(p, m), u);
                ASSERT_EQ(p.key(), before.key());
            }
            expectSameBoard(s, p);
        }

        // Mostly avoid the winning moves so that games run long enough to meet the rarer
        // rules; now and then take one to see the win itself.
        std::vector<Played> choice;
        for (const Played& m : legal) {
            GameState copy = s;
            if (!playOnGameState(copy, m)) choice.push_back(m);
        }
        const bool takeWin = choice.empty() || test::pick(rng, 8) == 0;
        const std::vector<Played>& from = takeWin ? legal : choice;
        const Played m =
            from[static_cast<std::size_t>(test::pick(rng, static_cast<int>(from.size())))];
        const int moverPiece = s.BOARD[std::get<0>(m)][std::get<1>(m)];
        if (isPromoted(std::get<4>(m)) && !isPromoted(moverPiece)) ++seen.promotions;
        const bool winsNow = p.moveWins(moveOf(p, m));
        level4::Undo u;
        p.make(moveOf(p, m), u);
        const bool won = playOnGameState(s, m);
        ASSERT_EQ(winsNow, won);
        ++seen.plies;
        if (won) {
            ++(s.CAPTURE_DONE == TRUE_CODE ? seen.captureWins : seen.campWins);
            return;
        }
        expectSameBoard(s, p);
        ASSERT_EQ(p.passCount(), 0);
        if (s.CHECK_ACTIVE == TRUE_CODE) ++seen.checks;
        side = p.toMove();
    }
}

TEST(Level4Rules, AgreeWithGameStateOverSeededRandomGames) {
    Coverage seen;
    for (unsigned seed = 1; seed <= 120; ++seed) {
        playAndCompare(seed, seen);
        if (HasFatalFailure()) return;
    }
    // The games must have met the rules being compared.
    EXPECT_GT(seen.plies, 3000);
    EXPECT_GT(seen.checks, 100);
    EXPECT_GT(seen.promotions, 20);
    EXPECT_GT(seen.captureWins, 5);
    EXPECT_GT(seen.winsFound, 20);
}

// Positions the random games meet rarely: a pass, a restricted side, a camp one short.
struct RuleCase {
    const char* name;
    const char* board;
    Side side;
    int checkX, checkY; // a marked square (0: no check)
    int moves;          // legal moves for the side (-1: any)
    bool winInOne;
};

class Level4RuleCases : public testing::TestWithParam<RuleCase> {};

TEST_P(Level4RuleCases, MatchGameState) {
    const RuleCase& c = GetParam();
    GameState s = test::positionOf(c.board);
    if (c.checkX != 0) {
        s.CHECK_ACTIVE = TRUE_CODE;
        s.CHECK_SQUARES[c.checkX][c.checkY] = TRUE_CODE;
    }
    Position p = Position::from(s, c.side, 0);
    const std::vector<Played> legal = gameStateMoves(s, c.side);
    EXPECT_EQ(positionMoves(p), legal);
    if (c.moves >= 0) {
        EXPECT_EQ(static_cast<int>(legal.size()), c.moves);
    }
    level4::GroupScan enemy;
    p.scanGroups(c.side == Side::Upper ? Side::Lower : Side::Upper, enemy);
    EXPECT_EQ(p.findWin(enemy, nullptr), c.winInOne);
}

INSTANTIATE_TEST_SUITE_P(
    Diagrams, Level4RuleCases,
    testing::Values(
        RuleCase{"UpperBlockedPasses", test::kUpperShutIn, Side::Upper, 0, 0, 0, false},
        // The check on (9,9) leaves only that rook; the bishop may not move.
        RuleCase{"CheckLeavesOnlyTheMarkedPiece",
                 "........."
                 "........."
                 "........."
                 "........."
                 "....B...."
                 "........."
                 "........."
                 "........."
                 "........R",
                 Side::Upper, 9, 9, -1, false},
        // Eight lower pieces in the UE camp, (9,3) empty: the rook on (9,5) slides up.
        RuleCase{"CampOneShort", test::kLowerCampOneShort, Side::Lower, 0, 0, -1, true},
        // The same, but the piece that would fill the camp is the one a check does not mark.
        RuleCase{"CampOneShortButChecked",
                 "......rbr"
                 "......brb"
                 "......rb."
                 "........."
                 "........r"
                 "........."
                 "........."
                 "........."
                 "b........",
                 Side::Lower, 1, 9, -1, false},
        // The upper bishop on (5,5) is surrounded but for (5,6); the lower rook on (5,8)
        // fills it, the rook on (4,5) next to it may not leave (it would free a square).
        RuleCase{"SurroundOneLiberty",
                 "........."
                 "........."
                 "........."
                 "....r...."
                 "...rBr..."
                 "........."
                 "........."
                 "....r...."
                 ".........",
                 Side::Lower, 0, 0, -1, true}),
    [](const testing::TestParamInfo<RuleCase>& i) { return std::string(i.param.name); });

} // namespace
} // namespace zubeki
