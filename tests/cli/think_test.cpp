// think: the program's answer is the window's search (最善手探索, as com_ban calls it) on the
// replayed position, with the same level and clock digit.

#include <gtest/gtest.h>

#include "ai/level4.h"
#include "ai/search.h"
#include "cli/json.h"
#include "cli/replay.h"
#include "game/state.h"
#include "tests/cli/run_cli.h"

namespace zubeki::cli::test {
namespace {

std::string expectedAnswer(const MoveList& list, int level, int digit) {
    Replay r = replayMoves(list);
    Influence influence;
    const ComputerMove m = 最善手探索(r.state, influence, level, ClockDigit::fixed(digit));
    if (!m.found) return R"({"pass":true})";
    return "{\"pass\":false,\"from\":[" + std::to_string(m.移動元X) + "," +
           std::to_string(m.移動元Y) + "],\"to\":[" + std::to_string(m.移動先X) + "," +
           std::to_string(m.移動先Y) + "],\"piece\":" + std::to_string(m.移動前駒) +
           ",\"result\":" + std::to_string(m.移動駒) + ",\"score\":" + jsonNumber(m.BEST_SCORE) +
           "}";
}

struct Position {
    const char* name;
    std::initializer_list<RecordedMove> moves;
};

const Position kPositions[] = {
    {"one lower move", {{3, 7, 3, 4, SITA_ROOK, SITA_ROOK}}},
    {"upper rook in check on (2,3)",
     {{3, 7, 3, 5, SITA_ROOK, SITA_ROOK},
      {7, 3, 2, 3, UE_ROOK, UE_ROOK},
      {1, 7, 1, 3, SITA_ROOK, SITA_ROOK}}},
    {"upper bishop in the middle",
     {{3, 7, 3, 5, SITA_ROOK, SITA_ROOK},
      {7, 2, 4, 5, UE_BISHOP, UE_BISHOP},
      {1, 7, 1, 4, SITA_ROOK, SITA_ROOK}}},
};

TEST(CliThink, AnswersWithTheWindowsSearchAtEveryLevelAndDigit) {
    TempFolder dir("think");
    int file = 0;
    for (const Position& p : kPositions) {
        const fs::path path = writeTestRecord(dir.path(), "p" + std::to_string(++file), p.moves);
        const MoveList list = moveList(p.moves);
        for (int level = 1; level <= 3; ++level)
            for (int digit : {0, 3, 9}) {
                SCOPED_TRACE(std::string(p.name) + ", level " + std::to_string(level) + ", digit " +
                             std::to_string(digit));
                const RunResult r =
                    runProgram({"think", path.string(), "--level", std::to_string(level),
                                "--digit=" + std::to_string(digit)});
                EXPECT_EQ(r.status, 0) << r.err;
                EXPECT_EQ(r.out, expectedAnswer(list, level, digit) + "\n");
            }
    }
}

TEST(CliThink, HonoursTheCheckOfTheLastMoveAndKeepsTheScoresDigits) {
    TempFolder dir("think-check");
    const fs::path path = writeTestRecord(dir.path(), "check", kPositions[1].moves);
    const RunResult r = runProgram({"think", path.string(), "--digit", "5"});
    ASSERT_EQ(r.status, 0) << r.err;
    // Level 3 by default; only the rook in check may move.
    EXPECT_EQ(r.out, expectedAnswer(moveList(kPositions[1].moves), 3, 5) + "\n");
    EXPECT_EQ(field(r.out, "from", ",\"to\""), "[2,3]");
    // The score round-trips: the shortest digits that read back as the same double.
    const double score = std::stod(field(r.out, "score", "}"));
    Replay replay = replayMoves(moveList(kPositions[1].moves));
    Influence influence;
    EXPECT_EQ(score, 最善手探索(replay.state, influence, 3, ClockDigit::fixed(5)).BEST_SCORE);
}

TEST(CliThink, RefusesAGameThatHasEndedOrAnIllegalRecord) {
    TempFolder dir("think-ended");
    const fs::path ended = writeTestRecord(dir.path(), "ended",
                                           {{3, 8, 6, 5, SITA_BISHOP, SITA_BISHOP},
                                            {7, 1, 1, 1, UE_ROOK, UE_ROOK},
                                            {1, 7, 1, 2, SITA_ROOK, SITA_ROOK},
                                            {9, 3, 9, 6, UE_ROOK, UE_ROOK},
                                            {6, 5, 2, 1, SITA_BISHOP, SITA_BISHOP}});
    RunResult r = runProgram({"think", ended.string(), "--digit", "0"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("capture at move 5"), std::string::npos) << r.out;

    const fs::path illegal =
        writeTestRecord(dir.path(), "illegal", {{3, 7, 3, 4, SITA_ROOK, SITA_ROOK_PROMOTED}});
    r = runProgram({"think", illegal.string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("\"error\":\"move 1: "), std::string::npos) << r.out;
}

} // namespace
} // namespace zubeki::cli::test

namespace zubeki::cli::test {
namespace {

// LEVEL4's answer with the positions `seen` (the lower side to move in the first) as the
// game's history, each keyed as a search for `upper` sees it.
Level4Move withHistory(const std::vector<zubeki::Position>& seen, const zubeki::Position& now,
                       bool upper, std::uint64_t nodes) {
    std::vector<std::uint64_t> keys;
    for (std::size_t i = 0; i < seen.size(); ++i) {
        const bool lowerMoves = i % 2 == 0;
        keys.push_back(
            upper ? level4PositionKey(seen[i], lowerMoves ? Side::Lower : Side::Upper)
                  : level4PositionKey(反転(seen[i]), lowerMoves ? Side::Upper : Side::Lower));
    }
    Level4Search search(1);
    return search.bestMove(upper ? now : 反転(now), Side::Upper, now.MOVE_COUNT,
                           Level4Limits{0, nodes, 0, nullptr, {}},
                           Level4History{keys.data(), static_cast<int>(keys.size())});
}

// The computer keeps the game's positions for LEVEL4 on either side: a search on the turned
// board (the lower side) sees the same earlier positions as one on the board as it stands.
// Two promoted rooks go out and back, so the game comes round to where it was, and at each
// position the computer is asked; coming round, its answers must be LEVEL4's with those
// positions, which differ from its answers without them.
TEST(CliThink, Level4OnEitherSideKnowsTheGamesEarlierPositions) {
    GameState start;
    start.初期設定();
    for (auto& column : start.BOARD)
        for (int& square : column) square = EMPTY;
    start.BOARD[5][6] = SITA_ROOK_PROMOTED;
    start.BOARD[5][4] = UE_ROOK_PROMOTED;
    start.MOVE_COUNT = 10;
    const ThinkBudget budget{1000, 3000, true};
    SilentOutside outside;
    Game game(outside);
    game.restore(start, MoveList{});
    game.setLevel(LEVEL_MAX);
    game.setBudget(budget);

    std::vector<zubeki::Position> seen;
    Move chosen[2];
    for (int ply = 0; ply < 6; ++ply) {
        SCOPED_TRACE(ply);
        const bool upper = ply % 2 == 1;
        const zubeki::Position now = game.state();
        const Level4Move want = withHistory(seen, now, upper, budget.nodes);
        const Level4Move bare = withHistory({}, now, upper, budget.nodes);
        const ComputerMove got = game.思考(upper ? Side::Upper : Side::Lower);
        ASSERT_TRUE(got.found);
        EXPECT_EQ(got.BEST_SCORE, want.score);
        EXPECT_EQ(got.移動先X, upper ? want.移動先X : 10 - want.移動先X);
        EXPECT_EQ(got.移動先Y, upper ? want.移動先Y : 10 - want.移動先Y);
        if (ply >= 4) {
            // Back where the game was: the history changes the answer.
            EXPECT_TRUE(want.score != bare.score || want.移動先X != bare.移動先X ||
                        want.移動先Y != bare.移動先Y);
        }
        seen.push_back(now);
        // Out with the computer's first choices, then back the way they came.
        Move m{got.移動元X, got.移動元Y, got.移動先X, got.移動先Y, got.移動前駒, got.移動駒};
        if (ply < 2) chosen[ply] = m;
        if (ply == 2 || ply == 3) {
            const Move& out = chosen[ply - 2];
            m = {out.移動先X, out.移動先Y, out.移動元X, out.移動元Y, out.移動駒, out.移動駒};
        }
        if (ply >= 4) m = chosen[ply - 4];
        ASSERT_EQ(playRecordedMove(game, m).end, GameEnd::None);
    }
}

} // namespace
} // namespace zubeki::cli::test
