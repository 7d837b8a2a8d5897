// The soak: the program plays many games at level 1 and writes their records; every record is
// then replayed by the program, must be legal to the end and must end on the board self-play
// ended on.

#include <gtest/gtest.h>

#include "cli/replay.h"
#include "cli/selfplay.h"
#include "game/state.h"
#include "tests/cli/run_cli.h"

namespace zubeki::cli::test {
namespace {

std::string boardOf(const SelfplayGame& g) {
    GameState s;
    for (int x = 0; x <= 9; ++x)
        for (int y = 0; y <= 9; ++y) s.BOARD[x][y] = g.board[x][y];
    return boardJson(s);
}

TEST(CliSoak, SelfplayRecordsReplayToTheBoardsTheGamesEndedOn) {
    constexpr int games = ZUBEKI_CLI_SOAK_GAMES;
    TempFolder dir("soak");
    const RunResult played = runProgram({"selfplay", "--games", std::to_string(games), "--level",
                                         "1", "--seed", "2024", "--records", dir.path().string()});
    ASSERT_EQ(played.status, 0) << played.err;

    // The same run in this process gives each game's last board (the games are fixed by the
    // seed) and must agree with the program's counts.
    SelfplayOptions options;
    options.games = games;
    options.seed = 2024;
    options.level = 1;
    const SelfplaySummary summary = selfplay(options);
    const std::string expectedCounts = "{\"games\":" + std::to_string(games) +
                                       ",\"upper_wins\":" + std::to_string(summary.upperWins) +
                                       ",\"lower_wins\":" + std::to_string(summary.lowerWins) +
                                       ",\"draws\":" + std::to_string(summary.draws) +
                                       ",\"unfinished\":" + std::to_string(summary.unfinished) +
                                       ",\"moves\":" + std::to_string(summary.moves) + ",";
    EXPECT_EQ(played.out.rfind(expectedCounts, 0), 0u) << played.out << expectedCounts;

    int files = 0;
    for (const auto& entry : fs::directory_iterator(dir.path())) files += entry.is_regular_file();
    EXPECT_EQ(files, games);

    int replayed = 0;
    for (int game = 1; game <= games; ++game) {
        SCOPED_TRACE(selfplayRecordName(game));
        const fs::path record = dir.path() / (selfplayRecordName(game) + ".棋譜");
        const RunResult r = runProgram({"replay", record.string()});
        ASSERT_EQ(r.status, 0) << r.out;
        EXPECT_EQ(field(r.out, "error", "}"), "null");
        EXPECT_EQ(field(r.out, "board", ",\"error\""), boardOf(summary.each[game - 1]));
        // A won game ends on its last move, and only there.
        const bool won = summary.each[game - 1].outcome == GameOutcome::UpperWin ||
                         summary.each[game - 1].outcome == GameOutcome::LowerWin;
        const std::size_t lastMove = r.out.rfind("{\"n\":");
        EXPECT_EQ(r.out.find("\"end\":\""),
                  won ? r.out.find("\"end\":\"", lastMove) : std::string::npos);
        ++replayed;
    }
    EXPECT_EQ(replayed, games);
    std::cerr << "soak: " << games << " games, " << summary.moves << " moves, " << summary.upperWins
              << " upper wins, " << summary.lowerWins << " lower wins, " << summary.draws
              << " draws, " << summary.unfinished << " unfinished\n";
}

} // namespace
} // namespace zubeki::cli::test
