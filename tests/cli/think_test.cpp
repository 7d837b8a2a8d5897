// think: the program's answer is the window's search (最善手探索, as com_ban calls it) on the
// replayed position, with the same level and clock digit.

#include <gtest/gtest.h>

#include "ai/search.h"
#include "cli/json.h"
#include "cli/replay.h"
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
    // The score round-trips: 17 significant digits.
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
