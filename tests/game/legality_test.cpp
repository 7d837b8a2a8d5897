// Set-up, camps, move legality, promotion and the mapping of pieces to sides.
#include <gtest/gtest.h>

#include <tuple>

#include "tests/game/diagram.h"

namespace zubeki {
namespace {

using diagram::position;
using diagram::toDiagram;

const diagram::Rows kStart = {"......RBR", "......BRB", "......RBR", "",   "",
                              "",          "rbr",       "brb",       "rbr"};

// Directions in the order left, right, up, down, up-left, up-right, down-left, down-right.
constexpr int kDx[8] = {-1, 1, 0, 0, -1, 1, -1, 1};
constexpr int kDy[8] = {0, 0, -1, 1, -1, -1, 1, 1};

struct Move {
    int code, fx, fy, tx, ty, expected;
};

// Each move on an otherwise empty board, the piece standing on its source.
void expectMoves(std::initializer_list<Move> moves) {
    for (const Move& m : moves) {
        GameState s = position(diagram::kEmpty);
        s.BOARD[m.fx][m.fy] = m.code;
        EXPECT_EQ(s.移動チェック(m.fx, m.fy, m.tx, m.ty, m.code), m.expected)
            << m.code << " from (" << m.fx << "," << m.fy << ") to (" << m.tx << "," << m.ty << ")";
    }
}

TEST(SetUp, PlacesEighteenPiecesAndResetsTheGame) {
    // Leave the state as a finished game would: dirty counters, a capture and a check.
    GameState s = position({"", "", "", "", "....+R"});
    std::tie(s.TURN, s.MOVE_COUNT, s.PASS_COUNT, s.SELECT_STATE) = std::tuple(SIDE_GOTE, 40, 1, 1);
    s.CAPTURE_DONE = s.CHECK_SQUARES[4][4] = TRUE_CODE;
    s.CHECK_ACTIVE = true;

    s.初期設定();

    EXPECT_EQ(toDiagram(s), toDiagram(kStart));
    int pieces = 0;
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) pieces += s.BOARD[x][y] != EMPTY;
    EXPECT_EQ(pieces, 18); // and 63 empty squares
    EXPECT_EQ(std::tie(s.TURN, s.MOVE_COUNT, s.PASS_COUNT, s.SELECT_STATE),
              std::tuple(NO_SIDE, 0, 0, 0));
    EXPECT_NE(s.CAPTURE_DONE, TRUE_CODE);
    // A new game never starts under the last check of the old one.
    EXPECT_EQ(s.CHECK_ACTIVE, FALSE_CODE);
    EXPECT_EQ(diagram::marks(s.CHECK_SQUARES), diagram::marks(diagram::kEmpty));
}

TEST(MoveCheck, EachPieceKeepsToItsDirections) {
    // slides go two squares, steps one, from (4,4): none of these squares lies in a camp.
    struct Case {
        int code;
        const char *slides, *steps;
    };
    const Case cases[] = {
        {UE_ROOK, "10010000", "10010000"},
        {UE_BISHOP, "00001011", "00001011"},
        {SITA_ROOK, "01100000", "01100000"},
        {SITA_BISHOP, "00001101", "00001101"},
        {UE_ROOK_PROMOTED, "11110000", "11111111"},
        {UE_BISHOP_PROMOTED, "00001111", "11111111"},
        {SITA_ROOK_PROMOTED, "11110000", "11111111"},
        {SITA_BISHOP_PROMOTED, "00001111", "11111111"},
    };
    for (const Case& c : cases) {
        for (int d = 0; d < 8; ++d)
            expectMoves({{c.code, 4, 4, 4 + 2 * kDx[d], 4 + 2 * kDy[d], c.slides[d] - '0'},
                         {c.code, 4, 4, 4 + kDx[d], 4 + kDy[d], c.steps[d] - '0'}});
        expectMoves({{c.code, 4, 4, 5, 6, FALSE_CODE}}); // a knight's jump
    }
}

TEST(PathCheck, StopsAtTheFirstPieceOfEitherSideOnFilesRanksAndDiagonals) {
    // Pieces of both sides two squares from (5,5) in every direction.
    const GameState s = position({"", "", "..b.R.b", "", "..R...r", "", "..B.b.B"});
    for (int d = 0; d < 8; ++d) {
        const bool diagonal = kDx[d] != 0 && kDy[d] != 0;
        auto path = [&](int n, bool bishop) {
            const int x = 5 + n * kDx[d], y = 5 + n * kDy[d];
            return bishop ? s.移動チェック角(5, 5, x, y) : s.移動チェック飛車(5, 5, x, y);
        };
        EXPECT_EQ(path(1, diagonal), TRUE_CODE) << d;
        EXPECT_EQ(path(2, diagonal), TRUE_CODE) << d; // the end squares are not examined
        EXPECT_EQ(path(3, diagonal), FALSE_CODE) << d;
        EXPECT_EQ(path(1, !diagonal), FALSE_CODE) << d; // wrong shape for the other piece
    }
}

TEST(MoveCheck, StartingPosition) {
    GameState s = position(kStart);
    const int cases[][5] = {
        {1, 7, 1, 6, 1}, {1, 7, 1, 1, 1}, {1, 7, 2, 7, 0}, {1, 7, 4, 7, 0}, {2, 8, 2, 6, 0},
        {7, 3, 7, 4, 1}, {7, 3, 7, 9, 1}, {7, 3, 6, 3, 1}, {7, 3, 1, 3, 1}, {8, 3, 7, 4, 1},
        {8, 3, 4, 7, 1}, {8, 3, 9, 4, 1}, {8, 3, 3, 8, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(s.移動チェック(c[0], c[1], c[2], c[3], s.BOARD[c[0]][c[1]]), c[4])
            << "(" << c[0] << "," << c[1] << ") to (" << c[2] << "," << c[3] << ")";
    // Up-right stays closed to an upper bishop even onto an empty square.
    s.BOARD[9][2] = EMPTY;
    EXPECT_EQ(s.移動チェック(8, 3, 9, 2, UE_BISHOP), FALSE_CODE);
    // An enemy piece blocks a file as an own one does.
    s.BOARD[1][4] = UE_BISHOP;
    EXPECT_EQ(s.移動チェック(1, 7, 1, 5, SITA_ROOK), TRUE_CODE);
    EXPECT_EQ(s.移動チェック(1, 7, 1, 4, SITA_ROOK), FALSE_CODE);
    EXPECT_EQ(s.移動チェック(1, 7, 1, 2, SITA_ROOK), FALSE_CODE);
}

TEST(MoveCheck, RefusesOffBoardAndStandingStillFirst) {
    // A non-piece code goes anywhere on the board and a promoted piece one step anywhere, so
    // only the board's edge and the standing still can refuse these.
    for (int c : {EMPTY, SITA_ROOK_PROMOTED})
        expectMoves({{c, 1, 5, 0, 5, 0},
                     {c, 9, 5, 10, 5, 0},
                     {c, 5, 1, 5, 0, 0},
                     {c, 5, 9, 5, 10, 0},
                     {c, 5, 5, 5, 5, 0},
                     {c, 5, 5, 5, 4, 1}});
}

TEST(MoveCheck, PromotedPiecesNeverStopInTheirOwnCamp) {
    // (7,3) and (3,7) are the camps' inner corners; (6,3) and (4,7) lie just outside. A promoted
    // piece may leave or cross its own camp but not stop in it; two steps diagonally are no
    // rook move. Unpromoted pieces may stop in their own camp.
    const int R = UE_ROOK_PROMOTED, B = UE_BISHOP_PROMOTED;
    const int r = SITA_ROOK_PROMOTED, b = SITA_BISHOP_PROMOTED;
    expectMoves({{R, 6, 4, 7, 3, 0}, {R, 6, 4, 5, 3, 1},         {R, 6, 4, 6, 3, 1},
                 {R, 6, 4, 7, 4, 1}, {R, 6, 4, 7, 5, 1},         {R, 6, 4, 1, 4, 1},
                 {R, 6, 4, 9, 4, 1}, {R, 6, 4, 6, 1, 1},         {R, 6, 4, 6, 9, 1},
                 {R, 6, 4, 8, 6, 0}, {R, 8, 2, 8, 5, 1},         {B, 5, 1, 9, 5, 1},
                 {B, 5, 1, 7, 3, 0}, {B, 5, 1, 5, 2, 1},         {r, 4, 6, 3, 7, 0},
                 {r, 4, 6, 4, 7, 1}, {r, 4, 6, 3, 6, 1},         {b, 2, 8, 4, 6, 1},
                 {b, 2, 8, 1, 9, 0}, {SITA_ROOK, 2, 9, 2, 7, 1}, {UE_ROOK, 9, 1, 7, 1, 1}});
}

TEST(MoveCheck, WhileInCheckOnlyMarkedPiecesMove) {
    GameState s = position(kStart);
    s.CHECK_SQUARES[3][7] = TRUE_CODE;
    s.CHECK_ACTIVE = TRUE_CODE;
    EXPECT_EQ(s.移動チェック(1, 7, 1, 6, SITA_ROOK), FALSE_CODE);
    EXPECT_EQ(s.移動チェック(7, 3, 7, 4, UE_ROOK), FALSE_CODE);
    EXPECT_EQ(s.移動チェック(3, 7, 3, 6, SITA_ROOK), TRUE_CODE);
    EXPECT_EQ(s.移動チェック(3, 7, 2, 7, SITA_ROOK), FALSE_CODE); // the usual rules apply
    s.CHECK_ACTIVE = FALSE_CODE; // marks without an active check restrict nothing
    EXPECT_EQ(s.移動チェック(1, 7, 1, 6, SITA_ROOK), TRUE_CODE);
}

TEST(Promotion, OnlyUnpromotedPiecesArrivingInTheEnemyCamp) {
    // Code, destination, promoted code or 0. (4,7) and (6,3) lie just outside the camps.
    // clang-format off
    const int cases[][4] = {
        {UE_ROOK, 2, 7, UE_ROOK_PROMOTED},         {UE_BISHOP, 3, 9, UE_BISHOP_PROMOTED},
        {SITA_BISHOP, 7, 3, SITA_BISHOP_PROMOTED}, {SITA_ROOK, 9, 1, SITA_ROOK_PROMOTED},
        {UE_ROOK, 4, 7, 0}, {SITA_BISHOP, 6, 3, 0}, {UE_ROOK, 8, 2, 0}, {UE_ROOK_PROMOTED, 2, 7, 0},
        {UE_BISHOP_PROMOTED, 1, 9, 0}, {SITA_ROOK_PROMOTED, 8, 2, 0}, {SITA_BISHOP_PROMOTED, 7, 3, 0}};
    // clang-format on
    for (const auto& c : cases) {
        GameState s = position(diagram::kEmpty);
        // The source does not count: a move within the enemy camp promotes too.
        const int answer = c[3] != 0 ? TRUE_CODE : FALSE_CODE;
        EXPECT_EQ(s.調査_駒成(8, 1, c[1], c[2], c[0]), answer) << c[0];
        if (c[3] != 0) {
            EXPECT_EQ(成駒(c[0]), c[3]) << c[0];
        }
        EXPECT_EQ(toDiagram(s), toDiagram(diagram::kEmpty));
    }
}

TEST(PieceSide, FollowsThePlayMode) {
    const int cases[][5] = {
        // mode, MAN_SIDE, COM_SIDE, side of the lower pieces, side of the upper pieces
        {MODE_MAN, SIDE_SENTE, SIDE_GOTE, SIDE_SENTE, SIDE_GOTE},
        {MODE_MAN, SIDE_GOTE, SIDE_SENTE, SIDE_SENTE, SIDE_GOTE}, // the lower pieces move first
        {MODE_COM, SIDE_SENTE, SIDE_GOTE, SIDE_SENTE, SIDE_GOTE}, // human first
        {MODE_COM, SIDE_GOTE, SIDE_SENTE, SIDE_GOTE, SIDE_SENTE}, // computer first
        {7, SIDE_SENTE, SIDE_GOTE, 0, 0},                         // no such mode
    };
    for (const auto& c : cases) {
        GameState s;
        s.PLAY_MODE = c[0];
        s.MAN_SIDE = c[1];
        s.COM_SIDE = c[2];
        for (int code : {SITA_BISHOP, SITA_BISHOP_PROMOTED, SITA_ROOK, SITA_ROOK_PROMOTED})
            EXPECT_EQ(s.調査_駒手番(code), c[3]) << "mode " << c[0] << " code " << code;
        for (int code : {UE_BISHOP, UE_BISHOP_PROMOTED, UE_ROOK, UE_ROOK_PROMOTED})
            EXPECT_EQ(s.調査_駒手番(code), c[4]) << "mode " << c[0] << " code " << code;
        for (int code : {EMPTY, 799, -802, 1})
            EXPECT_EQ(s.調査_駒手番(code), 0) << "mode " << c[0] << " code " << code;
    }
}

} // namespace
} // namespace zubeki
