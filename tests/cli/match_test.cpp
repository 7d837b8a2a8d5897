// zubeki-cli match: the counts add up, the games are whole records, the result does not depend
// on the number of threads, and the sequential test stops a one-sided match early.
#include "cli/match.h"
#include "cli/replay.h"
#include "record/record_file.h"
#include "tests/cli/run_cli.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace zubeki::cli {
namespace {

namespace fs = std::filesystem;

MatchOptions small(int a, int b, int games) {
    MatchOptions o;
    o.a.level = a;
    o.b.level = b;
    o.games = games;
    o.seed = 12;
    o.a.budget.nodes = o.b.budget.nodes = 3000;
    return o;
}

TEST(Match, CountsAddUpAndEveryGameIsARecordThatReplays) {
    // A folder of this process's own: two test runs at once must not share it.
    const auto dir = std::filesystem::temp_directory_path() /
                     ("zubeki-match-test-" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    MatchOptions o = small(4, 1, 6);
    o.records = dir;
    const MatchSummary s = match(o);
    ASSERT_EQ(s.error, "");
    EXPECT_EQ(s.games, 6);
    EXPECT_EQ(s.winsA + s.winsB + s.draws + s.unfinished, s.games);
    const auto points = static_cast<double>(2 * s.winsA + s.draws + s.unfinished);
    EXPECT_NEAR(s.score, points / static_cast<double>(2 * s.games), 1e-12);
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

// Runs on several machines share one seed out by --first-pair; --merge adds their pair counts
// into what one run of every pair prints, and their records are that run's records.
TEST(Match, ShardsOfASeedMergeIntoTheRunOfEveryPair) {
    test::TempFolder dir("shards");
    const auto run = [&](std::vector<std::string> more) {
        std::vector<std::string> line = {"match", "--a", "3", "--b", "2", "--seed", "3"};
        for (std::string& m : more) line.push_back(std::move(m));
        const test::RunResult r = test::runProgram(line);
        EXPECT_EQ(r.status, 0) << r.err;
        return r.out;
    };
    const std::string whole =
        run({"--games", "8", "--concurrency", "2", "--records", (dir.path() / "whole").string()});
    const fs::path shards = dir.path() / "shards";
    const std::string first = run({"--games", "4", "--records", shards.string()});
    const std::string second =
        run({"--games", "4", "--first-pair", "3", "--records", shards.string()});
    std::ofstream(dir.path() / "1.json") << first;
    std::ofstream(dir.path() / "2.json") << second;
    EXPECT_NE(first, second);

    const test::RunResult merged = test::runProgram(
        {"match", "--merge", (dir.path() / "1.json").string(), (dir.path() / "2.json").string()});
    ASSERT_EQ(merged.status, 0) << merged.err;
    const auto counts = [](const std::string& j) { return j.substr(0, j.find("\"seconds\"")); };
    EXPECT_EQ(counts(merged.out), counts(whole));
    EXPECT_NE(whole.find("\"pairs\":[2,0,0,1,1]"), std::string::npos) << "pairs of every kind";
    // A merged result merges again, unchanged.
    std::ofstream(dir.path() / "m.json") << merged.out;
    EXPECT_EQ(test::runProgram({"match", "--merge", (dir.path() / "m.json").string()}).out,
              merged.out);

    int records = 0;
    for (const auto& entry : fs::directory_iterator(dir.path() / "whole")) {
        ++records;
        const fs::path name = entry.path().filename();
        EXPECT_EQ(test::readFile(shards / name), test::readFile(entry.path())) << name;
    }
    EXPECT_EQ(records, 8);
    EXPECT_EQ(std::distance(fs::directory_iterator(shards), fs::directory_iterator{}), 8);
    EXPECT_EQ(readRecord(shards / "match-0006.棋譜").header[0], "match seed 3 pair 3");
}

// --merge reads files from anywhere: whatever is not a whole, consistent match result is
// refused with one line, and nothing read can crash the program.
TEST(Match, MergeRefusesWhatIsNotAMatchResult) {
    test::TempFolder dir("merge-refused");
    const std::string good = R"({"games":4,"wins_a":2,"wins_b":1,"draws":0,"unfinished":1,)"
                             R"("pairs":[0,0,1,1,0],"moves":100,"seconds":1})";
    const std::string cases[] = {
        "",
        "{",
        "[]",
        R"({"games":2})",
        R"({"games":2,"upper_wins":1,"lower_wins":1,"draws":0,"unfinished":0,"moves":9})",
        good.substr(0, good.size() - 1),
        std::string(100000, '['),
        good + "x",
        R"({"games":4,"games":4,)" + good.substr(11), // a count given twice
        std::string(good).replace(good.find("[0,0,1,1,0]"), 11, "[0,1,0,1,0]"), // disagree
        std::string(good).replace(good.find("[0,0,1,1,0]"), 11, "[0,0,1,1]"),
        std::string(good).replace(good.find("\"moves\":100"), 11, "\"moves\":-1"),
        std::string(good).replace(good.find("\"moves\":100"), 11, "\"moves\":1.5"),
        std::string(good).replace(good.find("\"moves\":100"), 11, "\"moves\":1e999"),
        std::string(good).replace(good.find("\"seconds\":1"), 11, "\"seconds\":\"1\""),
    };
    std::ofstream(dir.path() / "good.json") << good;
    ASSERT_EQ(test::runProgram({"match", "--merge", (dir.path() / "good.json").string()}).status,
              0);
    std::vector<std::string> files = {(dir.path() / "missing.json").string(), dir.path().string()};
    for (const std::string& text : cases) {
        files.push_back((dir.path() / (std::to_string(files.size()) + ".json")).string());
        std::ofstream(files.back(), std::ios::binary) << text;
    }
    for (const std::string& file : files) {
        SCOPED_TRACE(file);
        const test::RunResult r =
            test::runProgram({"match", "--merge", (dir.path() / "good.json").string(), file});
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out.rfind("{\"error\":", 0), 0u) << r.out;
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
        EXPECT_NE(r.err.find(file), std::string::npos) << r.err;
    }
}

// Every pair split 1-1: an Elo of 0 (not -0) in an interval that narrows with the pairs.
TEST(Match, EveryPairSplitGivesZeroInAnIntervalOfItsPairs) {
    for (const auto& [pairs, half] : {std::pair{10, "68.98"}, std::pair{100, "7.521"}}) {
        MatchSummary s;
        s.pairs.pairs[2] = pairs;
        s.trinomial.draws = 2 * pairs;
        matchFigures(s, std::nullopt);
        const std::string json = matchJson(s);
        EXPECT_NE(json.find("\"elo\":0,\"elo_95\":[-" + std::string(half)), std::string::npos)
            << json;
        EXPECT_NE(json.find("," + std::string(half)), std::string::npos) << json;
    }
}

// With no pair there is no estimate: null, as for a match that played none, also when the
// results merged hold no games.
TEST(Match, NoGamesGiveNoEstimate) {
    MatchSummary none;
    matchFigures(none, std::nullopt);
    const std::string noEstimate = "\"elo\":null,\"elo_95\":[null,null]";
    EXPECT_NE(matchJson(none).find(noEstimate), std::string::npos) << matchJson(none);
    test::TempFolder dir("merge-none");
    const fs::path file = dir.path() / "none.json";
    std::ofstream(file) << matchJson(none);
    const test::RunResult r = test::runProgram({"match", "--merge", file.string(), file.string()});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find(noEstimate), std::string::npos) << r.out;
}

} // namespace
} // namespace zubeki::cli
