// replay: records written by the game's writer, played through the rules by the real program.

#include <gtest/gtest.h>

#include "cli/replay.h"
#include "game/position_text.h"
#include "tests/cli/run_cli.h"

namespace zubeki::cli::test {
namespace {

// Lower bishop out, upper rook into the corner (1,1), lower rook below it, then the bishop
// closes (2,1): the rook in the corner has no liberty left and vanishes.
const std::initializer_list<RecordedMove> kCornerCapture = {
    {3, 8, 6, 5, SITA_BISHOP, SITA_BISHOP}, {7, 1, 1, 1, UE_ROOK, UE_ROOK},
    {1, 7, 1, 2, SITA_ROOK, SITA_ROOK},     {9, 3, 9, 6, UE_ROOK, UE_ROOK},
    {6, 5, 2, 1, SITA_BISHOP, SITA_BISHOP},
};

// The lower rook lands on (1,3), left of the upper rook on (2,3), which could still go down:
// that rook is in check.
const std::initializer_list<RecordedMove> kCheck = {
    {3, 7, 3, 5, SITA_ROOK, SITA_ROOK},
    {7, 3, 2, 3, UE_ROOK, UE_ROOK},
    {1, 7, 1, 3, SITA_ROOK, SITA_ROOK},
};

TEST(CliReplay, PlaysARecordWithCheckAndCaptureThroughTheRules) {
    TempFolder dir("replay");
    const RunResult check = runProgram({"replay", writeTestRecord(dir.path(), "check", kCheck)});
    EXPECT_EQ(check.status, 0) << check.err;
    EXPECT_NE(
        check.out.find(R"({"n":3,"move":"9g9c","from":[1,7],"to":[1,3],"piece":-900,"result":-900,)"
                       R"("legal":true,"check":[[2,3]],"captured":[],"end":null})"),
        std::string::npos)
        << check.out;
    EXPECT_EQ(field(check.out, "error", "}"), "null");
    EXPECT_TRUE(check.err.empty()) << check.err;

    const RunResult capture =
        runProgram({"replay", writeTestRecord(dir.path(), "capture", kCornerCapture)});
    EXPECT_EQ(capture.status, 0) << capture.err;
    EXPECT_NE(capture.out.find(
                  R"("n":5,"move":"4e8a","from":[6,5],"to":[2,1],"piece":-800,"result":-800,)"
                  R"("legal":true,"check":[],"captured":[[1,1]],"end":"capture"})"),
              std::string::npos)
        << capture.out;
    // Row y = 1 after the capture: the corner is empty, the bishop stands on (2,1).
    EXPECT_EQ(field(capture.out, "board", ",["), "[[0,-800,0,0,0,0,0,800,900]");
    EXPECT_EQ(capture.out.back(), '\n');
    EXPECT_EQ(capture.out.find('\n'), capture.out.size() - 1) << "one line of JSON only";
}

TEST(CliReplay, ReportsEveryCapturedSquareInTheOrderTheyVanish) {
    // A game of promotions on both sides; at move 23 the promoted bishop arriving on (1,7)
    // closes the last liberty of the lower group (1,8), (1,9), (2,9) and first puts (1,8) in
    // check (the survey comes before the capture loop).
    const MoveList list = moveList({
        {7, 2, 3, 6, UE_BISHOP, UE_BISHOP},
        {2, 7, 1, 6, SITA_BISHOP, SITA_BISHOP},
        {3, 6, 2, 7, UE_BISHOP, UE_BISHOP_PROMOTED},
        {3, 8, 6, 5, SITA_BISHOP, SITA_BISHOP},
        {8, 1, 3, 6, UE_BISHOP, UE_BISHOP},
        {3, 9, 5, 9, SITA_ROOK, SITA_ROOK},
        {8, 3, 7, 4, UE_BISHOP, UE_BISHOP},
        {6, 5, 8, 7, SITA_BISHOP, SITA_BISHOP},
        {7, 4, 3, 8, UE_BISHOP, UE_BISHOP_PROMOTED},
        {3, 7, 6, 7, SITA_ROOK, SITA_ROOK},
        {9, 2, 4, 7, UE_BISHOP, UE_BISHOP},
        {6, 7, 6, 3, SITA_ROOK, SITA_ROOK},
        {7, 3, 7, 4, UE_ROOK, UE_ROOK},
        {1, 6, 2, 5, SITA_BISHOP, SITA_BISHOP},
        {3, 8, 3, 9, UE_BISHOP_PROMOTED, UE_BISHOP_PROMOTED},
        {2, 8, 7, 8, SITA_ROOK, SITA_ROOK},
        {4, 7, 3, 8, UE_BISHOP, UE_BISHOP_PROMOTED},
        {5, 9, 5, 7, SITA_ROOK, SITA_ROOK},
        {2, 7, 2, 8, UE_BISHOP_PROMOTED, UE_BISHOP_PROMOTED},
        {1, 7, 3, 7, SITA_ROOK, SITA_ROOK},
        {3, 6, 2, 7, UE_BISHOP, UE_BISHOP_PROMOTED},
        {3, 7, 3, 3, SITA_ROOK, SITA_ROOK},
        {2, 7, 1, 7, UE_BISHOP_PROMOTED, UE_BISHOP_PROMOTED},
    });
    const Replay r = replayMoves(list);
    ASSERT_EQ(r.error, "");
    ASSERT_EQ(r.moves.size(), 23u);
    for (int n = 0; n < 22; ++n) EXPECT_EQ(r.moves[n].outcome.end, GameEnd::None) << n + 1;
    const MoveOutcome& last = r.moves.back().outcome;
    EXPECT_EQ(std::vector<Square>(last.check.begin(), last.check.end()),
              (std::vector<Square>{{1, 8}}));
    EXPECT_EQ(std::vector<Square>(last.captured.begin(), last.captured.end()),
              (std::vector<Square>{{1, 8}, {1, 9}, {2, 9}}));
    EXPECT_EQ(last.end, GameEnd::Capture);
    EXPECT_EQ(r.end, GameEnd::Capture);
    for (const Square& sq : last.captured) EXPECT_EQ(r.state.BOARD[sq.x][sq.y], EMPTY);
    EXPECT_EQ(r.state.BOARD[1][7], UE_BISHOP_PROMOTED);
    EXPECT_EQ(r.lastMover, 1);
}

struct Refusal {
    const char* name;
    std::initializer_list<RecordedMove> moves;
    int move;           // the move that must be refused
    const char* reason; // part of the error sentence
};

TEST(CliReplay, RefusesTheFirstIllegalMoveAndStopsThere) {
    const Refusal cases[] = {
        {"occupied",
         {{1, 7, 1, 6, SITA_ROOK, SITA_ROOK},
          {7, 3, 1, 3, UE_ROOK, UE_ROOK},
          {1, 6, 1, 3, SITA_ROOK, SITA_ROOK}},
         3,
         "occupied"},
        {"check-restriction",
         {{3, 7, 3, 5, SITA_ROOK, SITA_ROOK},
          {7, 3, 2, 3, UE_ROOK, UE_ROOK},
          {1, 7, 1, 3, SITA_ROOK, SITA_ROOK},
          {9, 3, 9, 6, UE_ROOK, UE_ROOK}},
         4,
         "only a piece in check may move"},
        {"false-promotion",
         {{3, 7, 3, 4, SITA_ROOK, SITA_ROOK}, {7, 3, 6, 3, UE_ROOK, UE_ROOK_PROMOTED}},
         2,
         "cannot arrive on (6, 3) as 901"},
        {"not-on-source",
         {{3, 7, 3, 4, SITA_ROOK, SITA_ROOK}, {6, 3, 6, 6, UE_ROOK, UE_ROOK}},
         2,
         "is not on its source (6, 3)"},
        {"wrong-piece-on-source",
         {{3, 7, 3, 4, SITA_ROOK, SITA_ROOK}, {8, 3, 8, 6, UE_ROOK, UE_ROOK}},
         2,
         "is not on its source (8, 3) (it holds 800)"},
        {"after-capture", {}, 6, "already ended at move 5 (capture)"},
        {"twice-in-a-row",
         {{3, 7, 3, 4, SITA_ROOK, SITA_ROOK}, {1, 7, 1, 4, SITA_ROOK, SITA_ROOK}},
         2,
         "lower side moved twice in a row"},
        {"not-a-rook-move",
         {{3, 7, 4, 6, SITA_ROOK, SITA_ROOK}},
         1,
         "cannot move from (3, 7) to (4, 6)"},
    };
    TempFolder dir("refusals");
    for (const Refusal& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<RecordedMove> moves(c.moves);
        if (std::string(c.name) == "after-capture") {
            moves.assign(kCornerCapture);
            moves.push_back({9, 6, 9, 7, UE_ROOK, UE_ROOK});
        }
        MoveList list;
        for (const RecordedMove& m : moves)
            list.手順保存(m.fromX, m.fromY, m.toX, m.toY, m.piece, m.result, EMPTY);
        const WriteResult w =
            writeRecord(dir.path(), c.name, RecordHeader{"refusal", "upper", "lower"}, list);
        ASSERT_TRUE(w.ok) << w.error;

        const RunResult r = runProgram({"replay", recordPath(dir.path(), c.name).string()});
        EXPECT_EQ(r.status, 1);
        const std::string error = field(r.out, "error", "}");
        EXPECT_EQ(error.rfind("\"move " + std::to_string(c.move) + ": ", 0), 0u) << error;
        EXPECT_NE(error.find(c.reason), std::string::npos) << error;
        // The refused move is listed, nothing after it, and the board is the one before it.
        EXPECT_NE(r.out.find("{\"n\":" + std::to_string(c.move) + ",", 0), std::string::npos);
        EXPECT_EQ(r.out.find("\"legal\":false"), r.out.rfind("\"legal\":false"));
        EXPECT_EQ(r.out.find("{\"n\":" + std::to_string(c.move + 1) + ","), std::string::npos);
        const Replay before = replayMoves([&] {
            MoveList l = list;
            l.RECORD_LEN = c.move - 1;
            return l;
        }());
        EXPECT_EQ(field(r.out, "board", ",\"error\""), boardJson(before.state));
        EXPECT_FALSE(r.err.empty());
    }
}

// A record with nothing to play, or refused whole, reports the starting position, in notation
// too; one refused at a move reports the position before that move.
TEST(CliReplay, ThePositionIsWrittenOutWhenNothingWasPlayed) {
    TempFolder dir("replay-nothing");
    const std::string start = 局面表記(replayStart(), -1);
    const fs::path empty = dir.path() / "empty.棋譜", refused = dir.path() / "refused.棋譜";
    std::ofstream(empty, std::ios::binary) << "";
    std::ofstream(refused, std::ios::binary) << "name\r\nupper\r\nlower\r\n 3734-9x0-900   0\r\n";
    const fs::path illegal =
        writeTestRecord(dir.path(), "illegal", {{5, 5, 5, 4, SITA_ROOK, SITA_ROOK}});
    for (const fs::path& file : {empty, refused, illegal}) {
        SCOPED_TRACE(file.filename().string());
        const RunResult r = runProgram({"replay", file.string()});
        EXPECT_EQ(r.status, 1) << r.out;
        EXPECT_EQ(field(r.out, "position", ",\"moves\""), "\"" + start + "\"") << r.out;
    }
}

// A game from any position, told by its name or its first line, played from its position; a
// faulty one refused at its line with the moves before it listed.
TEST(CliReplay, ReadsAGameFromAnyPosition) {
    TempFolder dir("replay-zbk");
    const std::string blocked = "B8/1b7/9/9/9/9/9/9/9 l - 0 3"; // the lower side must pass
    const std::string head = "ZUBEKI-GAME 1\n" + blocked + "\n";
    const struct {
        const char* name;
        std::string text;
        int status;
        const char* error; // the start of the message, "" for none
        int listed;        // moves listed
        const char* position;
    } cases[] = {
        {"game.zbk", head + "pass\n8b9c\n9a8b\n", 0, "", 2, "9/1B7/b8/9/9/9/9/9/9 u - 0 5"},
        {"game.txt", head + "8b9c\n9a8b\n", 0, "", 2, "9/1B7/b8/9/9/9/9/9/9 u - 0 5"},
        {"illegal.zbk", head + "pass\n8b9c\n9a8b\n9c9d\n", 1,
         "the record {} was refused: line 6: '9c9d' is not a legal move", 2,
         "9/1B7/b8/9/9/9/9/9/9 u - 0 5"},
        {"empty.zbk", head, 1, "the record {} holds no moves", 0, "B8/1b7/9/9/9/9/9/9/9 l - 0 3"},
        {"record.zbk", "game\r\nupper\r\nlower\r\n", 1, "the record {} was refused: not a ZUBEKI",
         0, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path file = dir.path() / c.name;
        std::ofstream(file, std::ios::binary) << c.text;
        const RunResult r = runProgram({"replay", file.string()});
        EXPECT_EQ(r.status, c.status) << r.err;
        std::string error = c.error;
        if (const auto at = error.find("{}"); at != std::string::npos)
            error.replace(at, 2, file.string());
        if (error.empty()) {
            EXPECT_EQ(field(r.out, "error", "}"), "null");
        } else {
            EXPECT_EQ(field(r.out, "error", "}").rfind("\"" + error, 0), 0u) << r.out;
        }
        EXPECT_EQ(r.out.find("{\"n\":" + std::to_string(c.listed + 1) + ","), std::string::npos);
        if (c.listed > 0) {
            EXPECT_NE(r.out.find("{\"n\":" + std::to_string(c.listed) + ","), std::string::npos);
        }
        if (*c.position) {
            EXPECT_EQ(field(r.out, "position", ",\"moves\""),
                      "\"" + std::string(c.position) + "\"");
        }
    }
    const RunResult missing = runProgram({"replay", (dir.path() / "missing.zbk").string()});
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("cannot read"), std::string::npos) << missing.err;
}

} // namespace
} // namespace zubeki::cli::test
