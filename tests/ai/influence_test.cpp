#include "ai/influence.h"
#include "board_diagram.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace zubeki {
namespace {

using test::positionOf;

// A grid of small counts drawn like a board, one digit per square.
std::string drawn(const int (&grid)[10][10]) {
    std::ostringstream out;
    for (int y = 1; y <= 9; ++y) {
        for (int x = 1; x <= 9; ++x) out << grid[x][y] << (x < 9 ? " " : "\n");
    }
    return out.str();
}

std::string normalised(const char* digits) {
    std::string out;
    int n = 0;
    for (const char* p = digits; *p; ++p) {
        if (*p == ' ' || *p == '\n') continue;
        out += *p;
        out += (++n % 9 == 0) ? '\n' : ' ';
    }
    return out;
}

struct GridCase {
    const char* name;
    const char* board;
    const char* sita; // expected SITA_INFLUENCE
    const char* ue;   // expected UE_INFLUENCE
};

class InfluenceGrid : public testing::TestWithParam<GridCase> {};

TEST_P(InfluenceGrid, CountsEveryReachingPiece) {
    const GridCase& c = GetParam();
    const GameState s = positionOf(c.board);
    Influence inf;
    inf.勢力調査(s);
    EXPECT_EQ(drawn(inf.SITA_INFLUENCE), normalised(c.sita));
    EXPECT_EQ(drawn(inf.UE_INFLUENCE), normalised(c.ue));
}

constexpr const char* kZeros = "000000000 000000000 000000000 000000000 000000000"
                               "000000000 000000000 000000000 000000000";

INSTANTIATE_TEST_SUITE_P(
    Positions, InfluenceGrid,
    testing::Values(
        GridCase{"LoneRookOnTheCentre",
                 "........."
                 "........."
                 "........."
                 "........."
                 "....r...."
                 "........."
                 "........."
                 "........."
                 ".........",
                 "000010000"
                 "000010000"
                 "000010000"
                 "000010000"
                 "111101111"
                 "000010000"
                 "000010000"
                 "000010000"
                 "000010000",
                 kZeros},
        // The promoted rook steps onto the occupied (4,4) and no further; the upper pieces'
        // lines stop on the first piece they meet, whichever side it belongs to.
        GridCase{"PromotedRookAmongPieces",
                 "........."
                 "........."
                 "....R...."
                 "...B....."
                 "....d...."
                 "........."
                 "........."
                 "........."
                 ".........",
                 "000000000"
                 "000000000"
                 "000010000"
                 "000111000"
                 "111101111"
                 "000111000"
                 "000010000"
                 "000010000"
                 "000010000",
                 "100010000"
                 "010010000"
                 "112111111"
                 "000010000"
                 "001020000"
                 "010000000"
                 "100000000"
                 "000000000"
                 "000000000"},
        // Corner pieces: only the lines and steps that stay on the board count.
        GridCase{"CornerPromotedBishopAndEdgeRooks",
                 "h.......B"
                 "........."
                 "........."
                 "........."
                 "........."
                 "........."
                 "........."
                 "........."
                 "........R",
                 "010000000"
                 "110000000"
                 "001000000"
                 "000100000"
                 "000010000"
                 "000001000"
                 "000000100"
                 "000000010"
                 "000000001",
                 "000000001"
                 "000000011"
                 "000000101"
                 "000001001"
                 "000010001"
                 "000100001"
                 "001000001"
                 "010000001"
                 "211111110"},
        GridCase{"UpperPromotedPiecesStepAsUpper",
                 "........H"
                 "........."
                 "........."
                 "........."
                 "........."
                 "........."
                 "........."
                 ".D......."
                 ".........",
                 kZeros,
                 "010000010"
                 "010000011"
                 "010000100"
                 "010001000"
                 "010010000"
                 "010100000"
                 "112000000"
                 "111111111"
                 "111000000"}),
    [](const testing::TestParamInfo<GridCase>& i) { return std::string(i.param.name); });

struct ThreatCase {
    const char* name;
    const char* board;
    int x, y;
    int expected; // SITA_THREAT(x, y)
};

class Threat : public testing::TestWithParam<ThreatCase> {};

TEST_P(Threat, NamesTheWeakestReachingLowerPiece) {
    const ThreatCase& c = GetParam();
    Influence inf;
    inf.勢力調査(positionOf(c.board));
    EXPECT_EQ(inf.SITA_THREAT[c.x][c.y], c.expected);
}

INSTANTIATE_TEST_SUITE_P(Positions, Threat,
                         testing::Values(ThreatCase{"RookAloneThroughEmptySquares",
                                                    "........."
                                                    "........."
                                                    "....B...."
                                                    "........."
                                                    "........."
                                                    "........."
                                                    "....r...."
                                                    "........."
                                                    ".........",
                                                    5, 3, -900},
                                         ThreatCase{"RookAndBishop",
                                                    "........."
                                                    "........."
                                                    "....B...."
                                                    "........."
                                                    "......b.."
                                                    "........."
                                                    "....r...."
                                                    "........."
                                                    ".........",
                                                    5, 3, -800},
                                         ThreatCase{"RookAndPromotedRook",
                                                    "........."
                                                    "........."
                                                    "d...R...."
                                                    "........."
                                                    "........."
                                                    "........."
                                                    "....r...."
                                                    "........."
                                                    ".........",
                                                    5, 3, -900},
                                         ThreatCase{"PromotedBishopOrthogonalStep",
                                                    "........."
                                                    "........."
                                                    "....R...."
                                                    "....h...."
                                                    "........."
                                                    "........."
                                                    "........."
                                                    "........."
                                                    ".........",
                                                    5, 3, -801},
                                         ThreatCase{"PromotedBishopDiagonalNextTo",
                                                    "........."
                                                    "........."
                                                    "....R...."
                                                    ".....h..."
                                                    "........."
                                                    "........."
                                                    "........."
                                                    "........."
                                                    ".........",
                                                    5, 3, -800},
                                         ThreatCase{"PromotedBishopDiagonalFar",
                                                    "........."
                                                    "........."
                                                    "....R...."
                                                    "........."
                                                    "........."
                                                    ".......h."
                                                    "........."
                                                    "........."
                                                    ".........",
                                                    5, 3, -800},
                                         ThreatCase{"PromotedRookDiagonalStep",
                                                    "........."
                                                    "........."
                                                    "....R...."
                                                    ".....d..."
                                                    "........."
                                                    "........."
                                                    "........."
                                                    "........."
                                                    ".........",
                                                    5, 3, -901},
                                         ThreatCase{"PromotedRookStepAndBishopLine",
                                                    "..b......"
                                                    "........."
                                                    "....R...."
                                                    ".....d..."
                                                    "........."
                                                    "........."
                                                    "........."
                                                    "........."
                                                    ".........",
                                                    5, 3, -800},
                                         ThreatCase{"PromotedRookTwoDiagonalStepsAway",
                                                    "........."
                                                    "........."
                                                    "....R...."
                                                    "........."
                                                    "......d.."
                                                    "........."
                                                    "........."
                                                    "........."
                                                    ".........",
                                                    5, 3, -999},
                                         ThreatCase{"ShieldedByAnotherUpperPiece",
                                                    "........."
                                                    "........."
                                                    "....R...."
                                                    "........."
                                                    "....B...."
                                                    "........."
                                                    "....r...."
                                                    "........."
                                                    ".........",
                                                    5, 3, -999},
                                         ThreatCase{"TheShieldIsReached",
                                                    "........."
                                                    "........."
                                                    "....R...."
                                                    "........."
                                                    "....B...."
                                                    "........."
                                                    "....r...."
                                                    "........."
                                                    ".........",
                                                    5, 5, -900},
                                         ThreatCase{"BishopInTheFarCorner",
                                                    "h........"
                                                    "........."
                                                    "........."
                                                    "........."
                                                    "........."
                                                    "........."
                                                    "........."
                                                    "........."
                                                    "........R",
                                                    9, 9, -800}),
                         [](const testing::TestParamInfo<ThreatCase>& i) {
                             return std::string(i.param.name);
                         });

// Only squares holding an upper piece ever record a threat, however crowded the board.
TEST(Threat, EmptyAndLowerSquaresKeepNoThreat) {
    GameState start;
    start.初期設定();
    const GameState positions[] = {
        start,
        positionOf("r..b.d..."
                   ".h..R...."
                   "..B.r.b.."
                   "d...h...."
                   ".r.b.R.B."
                   "....d...."
                   "h.r...b.."
                   "...b..r.."
                   ".d...h..."),
    };
    for (const GameState& s : positions) {
        Influence inf;
        inf.勢力調査(s);
        for (int x = 1; x <= 9; ++x)
            for (int y = 1; y <= 9; ++y) {
                SCOPED_TRACE(testing::Message() << "square (" << x << "," << y << ")");
                const int t = inf.SITA_THREAT[x][y];
                if (!isUpperPiece(s.BOARD[x][y]))
                    EXPECT_EQ(t, -999);
                else
                    EXPECT_TRUE(t == -999 || t == -901 || t == -900 || t == -801 || t == -800) << t;
            }
    }
}

// A second survey starts from clean grids rather than adding to the first.
TEST(InfluenceSurvey, RepeatedSurveyGivesTheSameGrids) {
    GameState s;
    s.初期設定();
    Influence once;
    once.勢力調査(s);
    Influence twice = once;
    twice.勢力調査(s);
    EXPECT_EQ(drawn(once.SITA_INFLUENCE), drawn(twice.SITA_INFLUENCE));
    EXPECT_EQ(drawn(once.UE_INFLUENCE), drawn(twice.UE_INFLUENCE));
    EXPECT_EQ(drawn(once.SITA_THREAT), drawn(twice.SITA_THREAT));
}

} // namespace
} // namespace zubeki
