// The command line: usage errors, help, files that are not sound records, and self-play.

#include <gtest/gtest.h>

#include "cli/replay.h"
#include "cli/selfplay.h"
#include "tests/cli/run_cli.h"

#include <sys/stat.h>
#include <unistd.h>

namespace zubeki::cli::test {
namespace {

// Exactly one line on standard output holding one object.
void expectOneObject(const RunResult& r) {
    ASSERT_FALSE(r.out.empty());
    EXPECT_EQ(r.out.front(), '{');
    EXPECT_EQ(r.out.find('\n'), r.out.size() - 1) << r.out;
    EXPECT_EQ(r.out[r.out.size() - 2], '}');
}

TEST(CliCommands, MalformedFilesAnswerOneOrTwoWithAMessage) {
    const std::string header = "name\r\nupper\r\nlower\r\n";
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"empty", ""},
        {"header-only", header},
        {"two-header-lines", "name\r\nupper\r\n"},
        {"short-line", header + " 3734\r\n"},
        {"non-numeric", header + " 3734-9x0-900   0\r\n"},
        {"letters-only", header + "abcdefghijklmnopq\r\n"},
        {"square-off-board", header + "10734-900-900   0\r\n"},
        {"square-zero", header + " 3704-900-900   0\r\n"},
        {"no-piece-code", header + " 3734-700-700   0\r\n"},
        {"target-not-empty", header + " 3734-900-900 800\r\n"},
        {"binary", header + std::string("\x00\x01\xff\xfe\x80 3734", 10) + "\r\n"},
        {"blank-line-between", header + " 3734-900-900   0\r\n\r\n 7363 900 900   0\r\n"},
        {"huge-numbers", header + "99999999999999999999999\r\n"},
        {"cr-only-endings", "n\ru\rl\r 3734-900-900   0\r 7363 900 900   0\r 1714-900-900   0"},
    };
    TempFolder dir("malformed");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path path = dir.path() / (std::string(c.name) + ".棋譜");
        std::ofstream(path, std::ios::binary) << c.bytes;
        for (const char* command : {"replay", "think"}) {
            const RunResult r = runProgram({command, path.string()});
            if (std::string(c.name) == "cr-only-endings") {
                // Old line ends are still a record: three legal moves.
                EXPECT_EQ(r.status, 0) << r.out;
                continue;
            }
            EXPECT_TRUE(r.status == 1 || r.status == 2) << command << " " << r.status;
            expectOneObject(r);
            EXPECT_NE(r.out.find("\"error\":\""), std::string::npos) << r.out;
            EXPECT_FALSE(r.err.empty());
        }
    }
    for (const fs::path& missing : {dir.path() / "missing.棋譜", dir.path()}) {
        const RunResult r = runProgram({"replay", missing.string()});
        EXPECT_EQ(r.status, 2) << missing;
        expectOneObject(r);
        EXPECT_NE(r.out.find("cannot read"), std::string::npos) << r.out;
    }
}

// What cannot be opened as a record answers 2 at once, a FIFO nobody writes to included; a file
// that opens but is refused answers 1.
TEST(CliCommands, OnlyRegularFilesAreRead) {
    TempFolder dir("special");
    const fs::path fifo = dir.path() / "fifo.棋譜";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    const fs::path big = writeTestRecord(dir.path(), "big", {{3, 7, 3, 4, SITA_ROOK, SITA_ROOK}});
    fs::resize_file(big, std::uintmax_t{64} << 20);
    const struct {
        fs::path file;
        int status;
        const char* says;
    } cases[] = {
        {fifo, 2, "普通のﾌｧｲﾙではありません"},
        {"/dev/null", 2, "普通のﾌｧｲﾙではありません"},
        {big, 1, "棋譜ﾌｧｲﾙが大きすぎます"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file.string());
        ::alarm(20); // a program stuck in open(2) ends the tests instead of hanging them
        const RunResult r = runProgram({"replay", c.file.string()});
        ::alarm(0);
        EXPECT_EQ(r.status, c.status);
        expectOneObject(r);
        EXPECT_NE(r.out.find(c.says), std::string::npos) << r.out;
    }
}

TEST(CliCommands, UsageErrorsAnswerTwoAndHelpAnswersZero) {
    TempFolder dir("usage");
    const std::string file =
        writeTestRecord(dir.path(), "one", {{3, 7, 3, 4, SITA_ROOK, SITA_ROOK}}).string();
    const std::vector<std::vector<std::string>> usage = {
        {},
        {"play"},
        {"replay"},
        {"replay", file, file},
        {"replay", file, "--level", "2"},
        {"think", file, "--level", "5"},
        {"think", file, "--level", "4", "--ms", "100", "--nodes", "100"},
        {"think", file, "--level", "4", "--nodes", "0"},
        {"selfplay", "--games", "2", "--level", "4", "--ms", "fast"},
        {"think", file, "--level", "2x"},
        {"think", file, "--digit", "10"},
        {"think", file, "--digit"},
        {"think", file, "--digit", "1", "--digit", "2"},
        {"selfplay"},
        {"selfplay", "--games", "0"},
        {"selfplay", "--games", "-3"},
        {"selfplay", "--games", "2", "--lower", "human"},
        {"selfplay", "--games", "2", "--seed", "4294967296"},
        {"selfplay", "--games", "2", "extra"},
    };
    for (const auto& args : usage) {
        const RunResult r = runProgram(args);
        std::string line;
        for (const auto& a : args) line += a + " ";
        EXPECT_EQ(r.status, 2) << line;
        expectOneObject(r);
        EXPECT_NE(r.out.find("\"error\":"), std::string::npos) << line;
        EXPECT_FALSE(r.err.empty()) << line;
    }
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"--help"}, {"replay", "--help"}, {"think", "--help"}, {"selfplay", "--help"}}) {
        const RunResult r = runProgram(args);
        EXPECT_EQ(r.status, 0) << args[0];
        expectOneObject(r);
        EXPECT_NE(r.out.find("\"help\":\"usage: zubeki-cli"), std::string::npos) << r.out;
    }
}

TEST(CliCommands, SelfplayIsFixedByItsSeedAndWritesRecordsThatReplay) {
    TempFolder dir("selfplay");
    const auto run = [&](const std::string& seed, const std::string& lower,
                         const std::string& folder) {
        return runProgram({"selfplay", "--games", "4", "--seed", seed, "--level", "1", "--lower",
                           lower, "--records", (dir.path() / folder).string()});
    };
    const auto counts = [](const std::string& json) {
        return json.substr(0, json.find(",\"seconds\""));
    };

    const RunResult a = run("7", "random", "a");
    const RunResult b = run("7", "random", "b");
    const RunResult c = run("8", "random", "c");
    const RunResult d = run("7", "computer", "d");
    for (const RunResult* r : {&a, &b, &c, &d}) {
        ASSERT_EQ(r->status, 0) << r->err;
        expectOneObject(*r);
        EXPECT_EQ(r->out.rfind("{\"games\":4,\"upper_wins\":", 0), 0u) << r->out;
    }
    EXPECT_EQ(counts(a.out), counts(b.out));

    bool differs = false;
    for (int game = 1; game <= 4; ++game) {
        const std::string name = selfplayRecordName(game) + ".棋譜";
        const std::string recordA = readFile(dir.path() / "a" / name);
        EXPECT_EQ(recordA, readFile(dir.path() / "b" / name)) << name;
        differs = differs || recordA != readFile(dir.path() / "c" / name);

        const ReadResult read = readRecord(dir.path() / "d" / name);
        ASSERT_TRUE(read.ok) << read.error;
        EXPECT_EQ(read.header[0], "selfplay seed 7 game " + std::to_string(game));
        EXPECT_EQ(read.header[1], "COM LEVEL 1");
        EXPECT_EQ(read.header[2], "COM LEVEL 1");
        // Odd games open with the lower side, even games with the upper side.
        ASSERT_GT(read.moves.RECORD_LEN, 0);
        EXPECT_EQ(read.moves.REC_PIECE[1] > 0, game % 2 == 0) << name;
        EXPECT_EQ(runProgram({"replay", (dir.path() / "d" / name).string()}).status, 0) << name;
    }
    EXPECT_TRUE(differs) << "another seed plays other games";
    EXPECT_EQ(readRecord(dir.path() / "a" / "game-0001.棋譜").header[2], "RANDOM");
}

// A refused line answers 2 with one line naming the problem and the help to read, never the
// whole help; budgets and test bounds must be finite numbers (a budget of nan let LEVEL4 think
// for ever) and the test's settings must make a test.
TEST(CliCommands, RefusedLinesAnswerTwoWithOneLine) {
    const std::string start = "6rbr/6brb/6rbr/9/9/9/RBR6/BRB6/RBR6 l - 0 1";
    const std::vector<std::string> think = {"think", "--position", start, "--level", "4"};
    const std::vector<std::string> match = {"match", "--a", "2", "--b", "1", "--games", "2"};
    const auto with = [](std::vector<std::string> line, std::vector<std::string> more) {
        for (std::string& m : more) line.push_back(std::move(m));
        return line;
    };
    const struct {
        std::vector<std::string> line;
        std::string says;
    } cases[] = {
        {{}, "no command (see 'zubeki-cli --help')"},
        {{"play"}, "unknown command 'play' (see 'zubeki-cli --help')"},
        {with(think, {"--ms", "nan"}), "--ms must be 1..3600000 (see 'zubeki-cli think --help')"},
        {with(think, {"--ms", "-nan"}), "--ms must be"},
        {with(think, {"--ms", "inf"}), "--ms must be"},
        {with(think, {"--ms=infinity"}), "--ms must be"},
        {with(think, {"--ms", "1e400"}), "--ms must be"},
        {{"selfplay", "--games", "1", "--level", "4", "--ms", "nan"}, "--ms must be"},
        {{"selfplay", "--games", "1", "--openings", "101"}, "--openings must be 0..100"},
        {with(match, {"--ms-a", "nan"}), "--ms must be 1..3600000 (-a)"},
        {with(match, {"--ms-b", "-inf"}), "--ms must be 1..3600000 (-b)"},
        {with(match, {"--games", "0"}), "option --games given twice"},
        {{"match", "--a", "2", "--b", "1", "--games", "1000001"},
         "--games must be 1..1000000 (see 'zubeki-cli match --help')"},
        {with(match, {"--first-pair", "0"}), "--first-pair must be 1..1000000000"},
        {with(match, {"--sprt", ""}), "--sprt is empty"},
        {with(match, {"--sprt", "alpha=0.5,beta=0.5"}), "alpha + beta must be below 1"},
        {with(match, {"--sprt", "alpha=0.6,beta=0.5"}), "alpha + beta must be below 1"},
        {with(match, {"--sprt", "alpha=0"}), "alpha must be a number between 0 and 1"},
        {with(match, {"--sprt", "beta=nan"}), "beta must be a number between 0 and 1"},
        {with(match, {"--sprt", "elo1=inf"}), "elo1 must be a number, -4000..4000"},
        {with(match, {"--sprt", "elo0=5,elo1=5"}), "elo0 must be below elo1"},
        {with(match, {"--sprt", "elo0=0,elo0=1"}), "elo0 given twice"},
        {with(match, {"--sprt", "elo0=0,,elo1=5"}), "--sprt has an empty item"},
        {with(match, {"--sprt", "elo1=5,"}), "--sprt has an empty item"},
        {with(match, {"--sprt", "gamma=1"}), "unknown item 'gamma'"},
        {with(match, {"--sprt", "elo1"}), "'elo1' is not NAME=VALUE"},
        {{"match", "--merge"}, "--merge needs a FILE"},
        {{"match", "--merge", "a.json", "--a", "2"}, "--merge takes no --a"},
        {{"match", "--merge", "a.json", "--sprt", "elo0=1,elo1=0"}, "elo0 must be below elo1"},
    };
    for (const auto& c : cases) {
        std::string line;
        for (const auto& a : c.line) line += a + " ";
        SCOPED_TRACE(line);
        const RunResult r = runProgram(c.line);
        EXPECT_EQ(r.status, 2);
        expectOneObject(r);
        EXPECT_NE(r.out.find("\"error\":"), std::string::npos);
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
        EXPECT_EQ(r.err.rfind("zubeki-cli: ", 0), 0u) << r.err;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
        EXPECT_NE(r.err.find("--help')"), std::string::npos) << r.err;
    }
}

// A records folder that cannot take a file is refused before the first game, not found out
// after the last. /proc refuses even the superuser; a read-only folder refuses others.
TEST(CliCommands, ARecordsFolderThatCannotBeWrittenIsRefusedBeforeAnyGame) {
    TempFolder dir("unwritable");
    const fs::path readOnly = dir.path() / "read-only";
    fs::create_directories(readOnly);
    fs::permissions(readOnly, fs::perms::owner_read | fs::perms::owner_exec);
    std::vector<std::string> folders;
    if (::access(readOnly.c_str(), W_OK) != 0) folders.push_back(readOnly.string());
    if (fs::is_directory("/proc/self")) folders.push_back("/proc/self");
    if (folders.empty()) GTEST_SKIP() << "no folder here refuses this user";
    for (const std::string& folder : folders) {
        for (const auto& line : std::vector<std::vector<std::string>>{
                 {"selfplay", "--games", "2", "--level", "1", "--records", folder},
                 {"match", "--a", "2", "--b", "1", "--games", "2", "--records", folder}}) {
            SCOPED_TRACE(line[0] + " " + folder);
            const RunResult r = runProgram(line);
            EXPECT_EQ(r.status, 2);
            EXPECT_EQ(r.out.rfind("{\"error\":\"cannot write records in " + folder, 0), 0u)
                << r.out;
            EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
        }
    }
    EXPECT_TRUE(fs::is_empty(readOnly));
}

// A record that fails after the probe (a folder stands where the second one goes) is named on
// standard error and under "errors"; every game is still played and counted, the records
// before it are written, none after it, and the status is 2.
TEST(CliCommands, ARecordThatFailsLateLeavesTheResultPrinted) {
    const struct {
        std::vector<std::string> line;
        const char* prefix;
    } cases[] = {
        {{"selfplay", "--games", "4", "--level", "1"}, "game-000"},
        {{"match", "--a", "2", "--b", "1", "--games", "4", "--concurrency", "2"}, "match-000"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line[0]);
        TempFolder dir("late-" + c.line[0]);
        const auto record = [&](int n) {
            return dir.path() / (c.prefix + std::to_string(n) + ".棋譜");
        };
        fs::create_directories(record(2) / "taken");
        std::vector<std::string> line = c.line;
        line.push_back("--records");
        line.push_back(dir.path().string());
        const RunResult r = runProgram(line);
        EXPECT_EQ(r.status, 2);
        expectOneObject(r);
        EXPECT_EQ(r.out.rfind("{\"games\":4,", 0), 0u) << r.out;
        EXPECT_NE(r.out.find(",\"errors\":[\"" + std::string(c.prefix) + "2: "), std::string::npos)
            << r.out;
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
        EXPECT_NE(r.err.find(std::string(c.prefix) + "2: "), std::string::npos) << r.err;
        EXPECT_TRUE(readRecord(record(1)).ok);
        EXPECT_FALSE(fs::exists(record(3)));
    }
}

// The computer against itself thinks alike in every game with a node budget: only the seeded
// opening moves tell one seed's games from another's. Without them (--openings 0) seeds 1 and
// 2 play the very same games.
TEST(CliCommands, SelfplayOfTheComputerAgainstItselfVariesWithTheSeed) {
    TempFolder dir("selfplay-seeds");
    const auto play = [&](const std::string& seed, const std::string& openings) {
        const fs::path folder = dir.path() / (seed + "-" + openings);
        std::vector<std::string> line = {
            "selfplay", "--games", "3",       "--seed",   seed,        "--level",      "4",
            "--nodes",  "200",     "--lower", "computer", "--records", folder.string()};
        if (!openings.empty()) {
            line.push_back("--openings");
            line.push_back(openings);
        }
        EXPECT_EQ(runProgram(line).status, 0);
        std::vector<std::string> games;
        for (int game = 1; game <= 3; ++game) {
            const ReadResult read = readRecord(folder / (selfplayRecordName(game) + ".棋譜"));
            std::string moves;
            for (int n = 1; n <= read.moves.RECORD_LEN; ++n)
                moves += formatMoveLine(read.moves, n) + "\n";
            games.push_back(moves);
        }
        return games;
    };
    const auto one = play("1", ""), two = play("2", "");
    EXPECT_NE(one[0], two[0]);
    EXPECT_NE(one[0], one[2]) << "games 1 and 3 both open with the lower side";
    EXPECT_EQ(play("1", "4"), one) << "4 opening moves by default";
    EXPECT_EQ(play("1", "0")[0], play("2", "0")[0]);
}

// A records folder that cannot be made says why (here we may not make a folder in its parent:
// a read-only folder for an ordinary user, /sys for the superuser), not that it is missing.
TEST(CliCommands, ARecordsFolderThatCannotBeMadeSaysWhy) {
    TempFolder dir("unmakeable");
    const fs::path readOnly = dir.path() / "read-only";
    fs::create_directories(readOnly);
    fs::permissions(readOnly, fs::perms::owner_read | fs::perms::owner_exec);
    const fs::path parent = ::access(readOnly.c_str(), W_OK) != 0 ? readOnly : fs::path("/sys");
    if (!fs::is_directory(parent)) GTEST_SKIP() << "no folder here refuses this user a folder";
    const std::string folder = (parent / "records" / "sub").string();
    const RunResult r =
        runProgram({"match", "--a", "2", "--b", "1", "--games", "2", "--records", folder});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find(": it cannot be made in " + parent.string() + ": "), std::string::npos)
        << r.err;
    EXPECT_EQ(r.err.find("No such file"), std::string::npos) << r.err;
}

} // namespace
} // namespace zubeki::cli::test
