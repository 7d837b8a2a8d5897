// analyse: the verdicts on hand-made positions, the engine's own moves left unmarked in whole
// games, and the same answer for the same node budget.

#include <gtest/gtest.h>

#include <algorithm>

#include "cli/json.h"
#include "tests/cli/run_cli.h"

namespace zubeki::cli::test {
namespace {

// The lower bishop in the corner (9a) has one liberty, 9b, which the upper bishop on 6e
// reaches: the upper side, to move, captures at once; the lower side, to move, can still
// get the bishop out (9a5e) or cover 9b.
constexpr const char* kCornered = "Br7/9/9/9/3b5/9/9/9/4R4";
// Both lower bishops caught (the board of the search's lost-in-two test): every lower move
// lets the upper side capture.
constexpr const char* kLostInTwo = "Br7/1b7/9/9/3b4r/9/9/7b1/4R2rB l - 0 1";
// The upper pieces on 2a, 1a are shut in by the lower ones: the upper side must pass.
constexpr const char* kUpperShutIn = "6Rbr/6B1B/9/9/9/9/9/9/R8 l - 0 1";

JsonValue analyse(const std::vector<std::string>& args) {
    std::vector<std::string> all{"analyse"};
    all.insert(all.end(), args.begin(), args.end());
    const RunResult r = runProgram(all);
    EXPECT_EQ(r.status, 0) << r.err;
    std::string why;
    const std::optional<JsonValue> json = parseJson(r.out, why);
    EXPECT_TRUE(json) << why << ": " << r.out;
    return json ? *json : JsonValue{};
}

std::string text(const JsonValue* v) {
    if (!v) return "(missing)";
    if (v->kind == JsonValue::Kind::Null) return "null";
    if (v->kind == JsonValue::Kind::String) return v->text;
    if (v->kind == JsonValue::Kind::Object && !v->keys.empty())
        return v->keys[0] + " " + std::to_string(static_cast<int>(v->items[0].number));
    return "number";
}

const JsonValue& moveAt(const JsonValue& review, std::size_t i) {
    static const JsonValue none;
    const JsonValue* moves = review.find("moves");
    return moves && i < moves->items.size() ? moves->items[i] : none;
}

TEST(CliAnalyse, JudgesHandMadePositions) {
    struct Case {
        const char* name;
        std::string position;
        const char* moves;
        std::size_t entry;   // the move judged
        const char* verdict; // "null", or the verdict's name (names between bars: any of them)
        const char* best;    // "" when any move will do
        const char* score;   // after the move, for the lower side; "" for any
    };
    const std::string cornered = kCornered;
    const Case cases[] = {
        {"lets the capture in where the bishop could leave", cornered + " l - 0 1", "5i5h", 0,
         "blunder", "", "lose 1"},
        // Letting a win in one go is at least a mistake; how far the chance drops says more.
        {"rook steps away from the win in one", cornered + " u - 0 1", "8a8b", 0, "mistake|blunder",
         "6e9b", ""},
        {"bishop goes elsewhere", cornered + " u - 0 1", "6e5f", 0, "blunder", "6e9b", ""},
        {"takes the win: the game ends", cornered + " u - 0 1", "6e9b", 0, "null", "6e9b",
         "lose 0"},
        {"the capture after a blunder", cornered + " l - 0 1", "5i5h 6e9b", 1, "null", "6e9b",
         "lose 0"},
        {"lost whatever it plays: nothing to mark", kLostInTwo, "5i5h", 0, "null", "", "lose 1"},
        {"a pass left out is put back, never marked", kUpperShutIn, "9i9h 9h9g", 1, "null", "pass",
         "win 3"},
        {"the move after the pass", kUpperShutIn, "9i9h 9h9g", 2, "null", "", "win 4"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const JsonValue review = analyse({"--position", c.position, "--moves", c.moves});
        const JsonValue& m = moveAt(review, c.entry);
        const std::string verdict = text(m.find("verdict"));
        EXPECT_NE((std::string("|") + c.verdict + "|").find("|" + verdict + "|"), std::string::npos)
            << verdict;
        if (*c.best) {
            EXPECT_EQ(text(m.find("best")), c.best);
        }
        if (*c.score) {
            EXPECT_EQ(text(m.find("score")), c.score);
        }
        if (std::string(c.verdict) != "blunder") continue;
        // The engine's move there parries what the played one let in.
        const std::string best = text(m.find("best"));
        EXPECT_NE(best, text(m.find("move")));
        const JsonValue parried = analyse({"--position", c.position, "--moves", best});
        EXPECT_NE(text(moveAt(parried, 0).find("score")), "lose 1");
        EXPECT_EQ(text(moveAt(parried, 0).find("verdict")), "null");
    }
}

// LEVEL4's seeded games against itself, written as records into `dir`.
void playGames(const TempFolder& dir, const char* games, const char* seed) {
    const RunResult played =
        runProgram({"selfplay", "--games", games, "--seed", seed, "--level", "4", "--lower",
                    "computer", "--nodes", "3000", "--records", dir.path().string()});
    ASSERT_EQ(played.status, 0) << played.err;
}

TEST(CliAnalyse, NeverMarksTheEnginesOwnMoveAndCountsWhatItMarks) {
    TempFolder dir("analyse");
    ASSERT_NO_FATAL_FAILURE(playGames(dir, "2", "5"));
    for (const char* name : {"game-0001", "game-0002"}) {
        SCOPED_TRACE(name);
        const JsonValue review =
            analyse({recordPath(dir.path(), name).string(), "--nodes", "20000"});
        const JsonValue* moves = review.find("moves");
        ASSERT_TRUE(moves && !moves->items.empty());
        int marked[2] = {};
        for (const JsonValue& m : moves->items) {
            const std::string verdict = text(m.find("verdict"));
            if (text(m.find("move")) == text(m.find("best"))) {
                EXPECT_EQ(verdict, "null");
            }
            if (verdict != "null") ++marked[text(m.find("side")) == "l" ? 0 : 1];
            for (const char* key : {"win_before", "win_after"}) {
                const JsonValue* w = m.find(key);
                ASSERT_TRUE(w && w->kind == JsonValue::Kind::Number);
                EXPECT_TRUE(w->number >= 0 && w->number <= 1) << key;
            }
        }
        // The record's game ended with a capture or a camp: its last move won it.
        const JsonValue& last = moves->items.back();
        EXPECT_EQ(text(last.find("score")), text(last.find("side")) == "l" ? "win 0" : "lose 0");
        EXPECT_EQ(last.find("win_after")->number, 1);
        const JsonValue* summary = review.find("summary");
        ASSERT_TRUE(summary);
        for (int side = 0; side < 2; ++side) {
            const JsonValue* s = summary->find(side == 0 ? "l" : "u");
            ASSERT_TRUE(s);
            EXPECT_EQ(s->find("inaccuracy")->number + s->find("mistake")->number +
                          s->find("blunder")->number,
                      marked[side]);
        }
    }
}

TEST(CliAnalyse, SameNodeBudgetSameAnswerOnAnyNumberOfThreads) {
    TempFolder dir("analyse-again");
    ASSERT_NO_FATAL_FAILURE(playGames(dir, "1", "9"));
    const std::string file = recordPath(dir.path(), "game-0001").string();
    const RunResult first = runProgram({"analyse", file, "--nodes", "15000", "--threads", "2"});
    ASSERT_EQ(first.status, 0) << first.err;
    for (const char* threads : {"2", "1"}) {
        SCOPED_TRACE(threads);
        const RunResult again =
            runProgram({"analyse", file, "--nodes=15000", "--threads", threads});
        EXPECT_EQ(again.out, first.out);
    }
}

TEST(CliAnalyse, ReviewsAGameFromAnyPositionAsItsMoves) {
    TempFolder dir("analyse-zbk");
    const fs::path file = dir.path() / "shut-in.zbk";
    // The upper side's pass left out, as the window may leave it.
    std::ofstream(file, std::ios::binary) << "ZUBEKI-GAME 1\n" << kUpperShutIn << "\n9i9h\n9h9g\n";
    const RunResult fromFile = runProgram({"analyse", file.string(), "--nodes", "5000"});
    const RunResult fromMoves = runProgram(
        {"analyse", "--position", kUpperShutIn, "--moves", "9i9h 9h9g", "--nodes", "5000"});
    EXPECT_EQ(fromFile.status, 0) << fromFile.err;
    EXPECT_EQ(fromFile.out, fromMoves.out);

    std::ofstream(dir.path() / "bad.zbk", std::ios::binary) << "ZUBEKI-GAME 1\n"
                                                            << kUpperShutIn << "\n9i9h\n9i9h\n";
    const RunResult bad = runProgram({"analyse", (dir.path() / "bad.zbk").string()});
    EXPECT_EQ(bad.status, 1);
    EXPECT_NE(bad.err.find("was refused: line 4: '9i9h' is not a legal move"), std::string::npos)
        << bad.err;
}

TEST(CliAnalyse, RefusesWhatItCannotReview) {
    const std::string start = std::string(kCornered) + " u - 0 1";
    struct Case {
        std::vector<std::string> args;
        int status;
        const char* error; // the start of the message
    };
    const Case cases[] = {
        {{}, 2, "analyse takes one FILE or --position"},
        {{"--position", start}, 2, "--moves goes with --position"},
        {{"--position", start, "--moves", "6e9b", "--ms", "5", "--nodes", "5"}, 2, "give --ms"},
        {{"--position", start, "--moves", "6e9b", "--threads", "0"}, 2, "--threads must be"},
        {{"--position", start, "--moves", ""}, 2, "--moves: no move"},
        {{"--position", start, "--moves", "9a5e"}, 1, "--moves: '9a5e' is not a legal"},
        {{"--position", start, "--moves", "6e9b 9a5e"}, 1, "--moves: '9a5e' comes after the end"},
        {{"/nonexistent/game.棋譜"}, 2, "cannot read"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args{"analyse"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const RunResult r = runProgram(args);
        SCOPED_TRACE(r.err);
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.out.rfind(std::string("{\"error\":\"") + c.error, 0), 0u) << r.out;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1);
    }
}

} // namespace
} // namespace zubeki::cli::test
