// Positions on the command line: perft, replay's position read back by think, and --position
// where a record would go.

#include <gtest/gtest.h>

#include "game/position_text.h"
#include "tests/cli/run_cli.h"

namespace zubeki::cli::test {
namespace {

TEST(CliPosition, PerftCountsAndDivides) {
    const RunResult r = runProgram({"perft", "--depth", "3"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "{\"depth\":3,\"nodes\":34710}\n");

    // The counts after each first move add up to the whole.
    const RunResult d = runProgram({"perft", "--depth=2", "--divide"});
    EXPECT_EQ(d.status, 0) << d.err;
    EXPECT_EQ(field(d.out, "nodes", ","), "1064");
    long long sum = 0;
    int moves = 0;
    for (std::size_t at = d.out.find("\":", d.out.find("\"moves\"") + 8); at != std::string::npos;
         at = d.out.find("\":", at + 2)) {
        sum += std::stoll(d.out.substr(at + 2));
        ++moves;
    }
    EXPECT_EQ(moves, 34);
    EXPECT_EQ(sum, 1064);

    // The upper side to move at the start mirrors the lower side.
    const RunResult u = runProgram(
        {"perft", "--position", "6rbr/6brb/6rbr/9/9/9/RBR6/BRB6/RBR6 u - 0 1", "--depth", "2"});
    EXPECT_EQ(u.out, "{\"depth\":2,\"nodes\":1064}\n");
}

TEST(CliPosition, ReplaysPositionIsWhereThinkGoesOn) {
    // A lower rook put in check by the third move: the upper side must move the checked rook.
    TempFolder dir("position");
    const std::initializer_list<RecordedMove> moves = {
        {3, 7, 3, 5, SITA_ROOK, SITA_ROOK},
        {7, 3, 2, 3, UE_ROOK, UE_ROOK},
        {1, 7, 1, 3, SITA_ROOK, SITA_ROOK},
    };
    const std::string record = writeTestRecord(dir.path(), "check", moves).string();
    const RunResult replay = runProgram({"replay", record});
    ASSERT_EQ(replay.status, 0) << replay.err;
    const std::string position = field(replay.out, "position", ",");
    EXPECT_EQ(position, "\"6rbr/6brb/Rr5br/9/2R6/9/1B7/BRB6/RBR6 u 8c 0 4\"");
    // Its moves written as move strings.
    EXPECT_NE(replay.out.find("\"move\":\"9g9c\""), std::string::npos);

    // The computer's answer after the record and from the position (and from the start with
    // the moves as strings) is the same move.
    const std::string text = position.substr(1, position.size() - 2);
    const RunResult fromRecord = runProgram({"think", record, "--level", "2", "--digit", "3"});
    const RunResult fromPosition =
        runProgram({"think", "--position", text, "--level", "2", "--digit", "3"});
    const RunResult fromMoves =
        runProgram({"think", "--position", std::string(START_POSITION), "--moves", "7g7e 3c8c 9g9c",
                    "--level", "2", "--digit", "3"});
    EXPECT_EQ(fromRecord.status, 0) << fromRecord.err;
    EXPECT_EQ(fromPosition.out, fromRecord.out);
    EXPECT_EQ(fromMoves.out, fromRecord.out);
    EXPECT_EQ(field(fromRecord.out, "from", ",\"to\""), "[2,3]"); // the rook in check moves
}

TEST(CliPosition, RefusesBadPositionsAndMoves) {
    const std::string start(START_POSITION);
    struct Case {
        std::vector<std::string> args;
        int status;
        const char* message;
    };
    const Case cases[] = {
        {{"perft", "--depth", "3", "--position", "9/9 l - 0 1"}, 2, "2 ranks"},
        {{"perft", "--depth", "1", "--position", "9/9/9/9/9/9/+R8/9/9 l - 0 1"},
         2,
         "--position: a promoted piece stands inside its own camp"},
        {{"think", "--position", "6RRR/6RRR/6RRR/9/9/9/9/9/9 u - 0 2"}, 2, "already filled"},
        {{"perft", "--depth", "13"}, 2, "--depth must be 1..12"},
        {{"perft", "--depth", "2", "--divide=yes"}, 2, "takes no value"},
        {{"think", "--position", start, "--moves", "7g7e 7g7d"}, 1, "'7g7d' is not a legal"},
        {{"think", "--position", start, "--moves", "pass"}, 1, "has a legal move"},
        {{"think", "--moves", "7g7e", "x.棋譜"}, 2, "--moves goes with --position"},
        {{"think", "x.棋譜", "--position", start}, 2, "one FILE or --position"},
        {{"selfplay", "--games", "1", "--position", start, "--records", "out"},
         2,
         "--records cannot go with --position"},
        {{"match", "--a", "1", "--b", "2", "--games", "2", "--position", "x"}, 2, "5 fields"},
    };
    for (const Case& c : cases) {
        const RunResult r = runProgram(c.args);
        EXPECT_EQ(r.status, c.status) << c.args[0] << " " << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    }
}

TEST(CliPosition, SelfplayAndMatchBeginAtThePosition) {
    // The upper side one move from filling the lower camp: LEVEL4 wins every game at once.
    const std::string nearlyWon = "8R/9/9/9/9/9/rr2r4/rrr6/rrr6 u - 0 40";
    const RunResult s = runProgram(
        {"selfplay", "--games", "3", "--level", "4", "--nodes", "100", "--position", nearlyWon});
    EXPECT_EQ(s.status, 0) << s.err;
    EXPECT_EQ(field(s.out, "upper_wins", ","), "3");
    EXPECT_EQ(field(s.out, "moves", ","), "3");
    const RunResult m =
        runProgram({"match", "--a", "4", "--b", "4", "--nodes", "100", "--games", "2", "--openings",
                    "0", "--position", nearlyWon, "--concurrency", "1"});
    EXPECT_EQ(m.status, 0) << m.err;
    EXPECT_EQ(field(m.out, "wins_a", ","), "1");
    EXPECT_EQ(field(m.out, "wins_b", ","), "1");
}

} // namespace
} // namespace zubeki::cli::test
