// zubeki-cli match: the counts add up, the games are whole records, the result does not depend
// on the number of threads, and the sequential test stops a one-sided match early.
#include "cli/match.h"
#include "cli/replay.h"
#include "record/record_file.h"
#include "tests/cli/run_cli.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace zubeki::cli {
namespace {

MatchOptions small(int a, int b, int games) {
    MatchOptions o;
    o.levelA = a;
    o.levelB = b;
    o.games = games;
    o.seed = 12;
    o.budgetA.nodes = o.budgetB.nodes = 3000;
    return o;
}

TEST(Match, CountsAddUpAndEveryGameIsARecordThatReplays) {
    const auto dir = std::filesystem::temp_directory_path() / "zubeki-match-test";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    MatchOptions o = small(4, 1, 6);
    o.records = dir;
    const MatchSummary s = match(o);
    ASSERT_EQ(s.error, "");
    EXPECT_EQ(s.games, 6);
    EXPECT_EQ(s.winsA + s.winsB + s.draws + s.unfinished, s.games);
    EXPECT_NEAR(s.score, (s.winsA + 0.5 * (s.draws + s.unfinished)) / s.games, 1e-12);
    long long moves = 0;
    for (std::size_t g = 0; g < s.each.size(); ++g) {
        EXPECT_EQ(s.each[g].aUpper, g % 2 == 0); // each opening twice, the sides swapped
        const ReadResult read = readRecord(dir / ("match-000" + std::to_string(g + 1) + ".棋譜"));
        ASSERT_TRUE(read.ok) << read.error;
        const Replay r = replayMoves(read.moves);
        EXPECT_EQ(r.error, "") << g;
        EXPECT_EQ(r.end == GameEnd::None, s.each[g].outcome == GameOutcome::Unfinished ||
                                              s.each[g].outcome == GameOutcome::Draw);
        moves += s.each[g].moves;
    }
    EXPECT_EQ(moves, s.moves);
    // Both games of a pair open with the same moves.
    for (int n = 1; n <= o.openings; ++n) {
        EXPECT_EQ(s.each[0].list.REC_FROM_X[n], s.each[1].list.REC_FROM_X[n]);
        EXPECT_EQ(s.each[0].list.REC_TO_Y[n], s.each[1].list.REC_TO_Y[n]);
    }
    std::filesystem::remove_all(dir);
}

TEST(Match, TheResultDoesNotDependOnTheThreadsAndTheSprtStopsEarly) {
    MatchOptions o = small(4, 2, 8);
    const std::string one = matchJson(match(o));
    o.concurrency = 2;
    const std::string two = matchJson(match(o));
    auto withoutTime = [](const std::string& j) { return j.substr(0, j.find("\"seconds\"")); };
    EXPECT_EQ(withoutTime(one), withoutTime(two));

    // LEVEL4 against LEVEL1 is one-sided: a test for a small gain decides long before 40 pairs.
    MatchOptions t = small(4, 1, 80);
    t.concurrency = 2;
    t.sprt = SprtBounds{0, 10, 0.2, 0.2};
    const MatchSummary s = match(t);
    ASSERT_TRUE(s.sprt.has_value());
    EXPECT_EQ(s.sprt->verdict, SprtVerdict::AcceptH1);
    EXPECT_LT(s.games, 80);
    EXPECT_EQ(static_cast<int>(s.each.size()), s.games);
}

TEST(Match, UsageErrorsAnswerTwo) {
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"match", "--a", "4", "--games", "2"},
             {"match", "--a", "5", "--b", "3", "--games", "2"},
             {"match", "--a", "4", "--b", "3", "--games", "2", "--sprt", "elo0=5,elo1=0"},
             {"match", "--a", "4", "--b", "3", "--games", "2", "--ms-a", "0"},
             {"match", "--a", "4", "--b", "3", "--games", "2", "--concurrency", "0"}}) {
        const test::RunResult r = test::runProgram(args);
        EXPECT_EQ(r.status, 2) << args[1] << " " << args.back();
        EXPECT_NE(r.out.find("\"error\":"), std::string::npos);
    }
}

} // namespace
} // namespace zubeki::cli
