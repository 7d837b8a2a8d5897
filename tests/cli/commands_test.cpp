// The command line: usage errors, help, files that are not sound records, and self-play.

#include <gtest/gtest.h>

#include "cli/replay.h"
#include "cli/selfplay.h"
#include "tests/cli/run_cli.h"

#include <sys/stat.h>

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

} // namespace
} // namespace zubeki::cli::test
