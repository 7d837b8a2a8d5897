// match with engines: zubeki-engine plays exactly as the built-in LEVEL4 does, and an engine
// that fails loses its game while the match goes on.

#include <gtest/gtest.h>

#include <csignal>
#include <thread>

#include "tests/cli/run_cli.h"

namespace zubeki::cli::test {
namespace {

// The moves of every game the match wrote, as replay lists them.
std::string movesOf(const fs::path& folder, int games) {
    std::string all;
    for (int g = 1; g <= games; ++g) {
        char name[32];
        std::snprintf(name, sizeof name, "match-%04d.棋譜", g);
        const RunResult r = runProgram({"replay", (folder / name).string()});
        all += field(r.out, "moves", ",\"board\"") + "\n";
    }
    return all;
}

TEST(EngineMatch, ZubekiEnginePlaysTheGamesOfTheBuiltInLevel) {
    TempFolder dir("engine-match");
    const std::vector<std::string> common = {"match", "--b",           "4", "--nodes",
                                             "3000",  "--games",       "4", "--openings",
                                             "3",     "--concurrency", "2"};
    std::vector<std::string> builtIn = common, engine = common;
    builtIn.insert(builtIn.end(), {"--a", "4", "--records", (dir.path() / "builtin").string()});
    engine.insert(engine.end(), {"--a-engine", ZUBEKI_ENGINE_PROGRAM, "--a-option", "Threads=1",
                                 "--records", (dir.path() / "engine").string()});
    const RunResult a = runProgram(builtIn);
    const RunResult b = runProgram(engine);
    ASSERT_EQ(a.status, 0) << a.err;
    ASSERT_EQ(b.status, 0) << b.err;
    EXPECT_EQ(field(b.out, "crashes", ","), "0");
    EXPECT_EQ(field(a.out, "pairs", "]"), field(b.out, "pairs", "]"));
    EXPECT_EQ(movesOf(dir.path() / "builtin", 4), movesOf(dir.path() / "engine", 4));
    EXPECT_TRUE(fs::exists(dir.path() / "engine" / "engine-a-1.log"));
}

TEST(EngineMatch, AnEngineThatFailsLosesAndTheMatchGoesOn) {
    struct Case {
        const char* mode;
        const char* counter;
    };
    const Case cases[] = {{"crash", "crashes"}, {"hang", "timeouts"}, {"illegal", "illegal"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        const RunResult r = runProgram(
            {"match", "--a-engine", std::string("sh ") + ZUBEKI_STANDIN_ENGINE + " " + c.mode,
             "--b", "1", "--ms-a", "1", "--games", "4", "--openings", "2", "--concurrency", "2"});
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(field(r.out, "wins_b", ","), "4");
        EXPECT_EQ(field(r.out, c.counter, ","), "4");
        EXPECT_NE(r.err.find(c.mode == std::string("hang") ? "no move in time" : "'sh "),
                  std::string::npos)
            << r.err;
    }
    // Refused settings: one line each.
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"match", "--a", "1", "--a-engine", "x", "--b", "1", "--games",
                                   "2"},
          std::vector<std::string>{"match", "--a-engine", "x", "--a-option", "Threads", "--b", "1",
                                   "--games", "2"},
          std::vector<std::string>{"match", "--a", "1", "--a-option", "Threads=2", "--b", "1",
                                   "--games", "2"}}) {
        const RunResult r = runProgram(args);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
    }
}

// A stand-in engine command whose processes, and all they start, carry `tag` in their
// environment.
std::string standinCommand(const std::string& tag, const char* mode) {
    return "ZUBEKI_STANDIN_TAG=" + tag + " sh " + ZUBEKI_STANDIN_ENGINE + " " + mode;
}

// The running processes whose environment holds the stand-in's tag (one that has ended has
// none); asked again for a while, since a process sent SIGKILL takes a moment to go.
std::size_t runningWithTag(const std::string& tag, std::chrono::milliseconds patience) {
    const std::string entry = "ZUBEKI_STANDIN_TAG=" + tag + std::string(1, '\0');
    const auto until = std::chrono::steady_clock::now() + patience;
    for (;;) {
        std::size_t found = 0;
        std::error_code ec;
        for (const auto& p : fs::directory_iterator("/proc", ec))
            if (readFile(p.path() / "environ").find(entry) != std::string::npos) ++found;
        if (found == 0 || std::chrono::steady_clock::now() >= until) return found;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

TEST(EngineMatch, NoEngineOutlivesTheMatch) {
    // Each of these loses its games on time or by ending; what it left running is ended too.
    for (const char* mode : {"hang", "spin", "handshake", "stubborn", "closed"}) {
        SCOPED_TRACE(mode);
        const std::string tag = std::string(mode) + "-" + std::to_string(::getpid());
        const RunResult r = runProgram({"match", "--a-engine", standinCommand(tag, mode), "--b",
                                        "1", "--ms-a", "1", "--games", "2", "--concurrency", "1"});
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(field(r.out, "wins_b", ","), "2");
        EXPECT_EQ(runningWithTag(tag, std::chrono::seconds(2)), 0u);
    }
}

TEST(EngineMatch, NoEngineOutlivesAnInterruptedMatch) {
    for (const int signal : {SIGINT, SIGTERM}) {
        SCOPED_TRACE(signal);
        const std::string tag =
            "signal-" + std::to_string(signal) + "-" + std::to_string(::getpid());
        const std::string engine = standinCommand(tag, "hang");
        const pid_t cli = ::fork();
        if (cli == 0) {
            // Started from a background shell, we may have been given SIGINT ignored.
            std::signal(SIGINT, SIG_DFL);
            std::signal(SIGTERM, SIG_DFL);
            std::freopen("/dev/null", "w", stdout);
            std::freopen("/dev/null", "w", stderr);
            ::execl(ZUBEKI_CLI_PROGRAM, "zubeki-cli", "match", "--a-engine", engine.c_str(), "--b",
                    "1", "--ms-a", "60000", "--games", "2", static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ASSERT_GT(cli, 0);
        // The engine is running (and waits in its move): now the match is ended.
        for (int i = 0; i < 1000 && runningWithTag(tag, {}) == 0; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        EXPECT_GT(runningWithTag(tag, {}), 0u);
        ::kill(cli, signal);
        int status = 0;
        ::waitpid(cli, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
        EXPECT_EQ(runningWithTag(tag, std::chrono::seconds(2)), 0u);
    }
}

} // namespace
} // namespace zubeki::cli::test
