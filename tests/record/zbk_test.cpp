// Games from any position (.zbk): what is written reads back as the same game, the reader's
// leniencies, and every kind of file it refuses, each with its line and one line of reason.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "game/position_text.h"
#include "record/line_reader.h"
#include "record/zbk.h"

namespace zubeki {
namespace {

namespace fs = std::filesystem;

Position position(std::string_view text) {
    std::string why;
    const std::optional<Position> p = Position::fromText(text, why);
    if (!p) ADD_FAILURE() << text << ": " << why;
    return p.value_or(Position{});
}

// The moves named by `words`, each read where it is played; a side without a move passes
// whether or not its pass is written.
ZbkGame game(std::string_view start, std::initializer_list<std::string_view> words) {
    ZbkGame g{position(start), {}};
    Position p = g.start;
    for (const std::string_view word : words) {
        std::string why;
        if (word != "pass" && !p.hasMove(p.SIDE)) p.play(Move{});
        const std::optional<Move> m = p.moveFromText(word, why);
        if (!m) ADD_FAILURE() << word << ": " << why;
        g.moves.push_back(m.value_or(Move{}));
        p.play(m.value_or(Move{}));
    }
    return g;
}

// The lower bishop in the corner is shut in by the upper bishop and must pass first.
constexpr std::string_view kBlocked = "B8/1b7/9/9/9/9/9/9/9 l - 0 3";
const std::string kBlockedText = "ZUBEKI-GAME 1\nB8/1b7/9/9/9/9/9/9/9 l - 0 3\npass\n8b9c\n9a8b\n";
// The rook closes in both upper bishops: the game ends with the capture.
constexpr std::string_view kCapture = "b1bR5/R1R6/9/9/1R7/9/9/9/9 l - 0 1";

TEST(ZbkFile, WritesEveryPassAndReadsTheSameGameBack) {
    std::string why;
    // The pass left out is written all the same.
    const ZbkGame blocked = game(kBlocked, {"8b9c", "9a8b"});
    EXPECT_EQ(zbkText(blocked, why), kBlockedText) << why;
    const ZbkRead read = readZbkBytes(kBlockedText);
    ASSERT_TRUE(read.ok()) << read.error;
    EXPECT_EQ(read.game.start, blocked.start);
    ASSERT_EQ(read.game.moves.size(), 3u);
    EXPECT_TRUE(read.game.moves[0].pass());
    EXPECT_EQ(zbkText(read.game, why), kBlockedText);
    EXPECT_EQ(read.end.text(), "9/1B7/b8/9/9/9/9/9/9 u - 0 5");

    // A game that ends, and one with no move at all, through a real file.
    const fs::path file = fs::temp_directory_path() /
                          ("zbk-test-" + std::to_string(::getpid()) + std::string(zbkExtension));
    for (const ZbkGame& g : {game(kCapture, {"8e8a"}), game(START_POSITION, {})}) {
        const ZbkWrite w = writeZbk(file, g);
        ASSERT_TRUE(w.ok()) << w.error;
        EXPECT_TRUE(isZbkFile(file));
        const ZbkRead back = readZbk(file);
        ASSERT_TRUE(back.ok()) << back.error;
        EXPECT_EQ(back.game.start, g.start);
        EXPECT_EQ(back.game.moves, g.moves);
        EXPECT_EQ(back.ended, g.moves.empty() ? GameEnd::None : GameEnd::Capture);
    }
    fs::remove(file);
}

TEST(ZbkFile, TakesTheUsualVariationsOfATextFile) {
    const std::string variations[] = {
        "\xEF\xBB\xBFZUBEKI-GAME 1\r\nB8/1b7/9/9/9/9/9/9/9 l - 0 3\r\npass\r\n8b9c\r\n9a8b\r\n",
        "ZUBEKI-GAME 1\nB8/1b7/9/9/9/9/9/9/9 l - 0 3\n8b9c\n9a8b", // pass left out, no last LF
        " ZUBEKI-GAME  1 \n B8/1b7/9/9/9/9/9/9/9 l - 0 3 \n pass\n8b9c \n9a8b\n\n  \n",
    };
    for (const std::string& bytes : variations) {
        const ZbkRead read = readZbkBytes(bytes);
        ASSERT_TRUE(read.ok()) << read.error << "\n" << bytes;
        std::string why;
        EXPECT_EQ(zbkText(read.game, why), kBlockedText);
    }
}

TEST(ZbkFile, RefusesTheWholeFileAtTheFirstFault) {
    const std::string head = "ZUBEKI-GAME 1\n" + std::string(START_POSITION) + "\n";
    const std::string capture = "ZUBEKI-GAME 1\n" + std::string(kCapture) + "\n8e8a\n";
    const struct {
        const char* what;
        std::string bytes;
        ZbkProblem problem;
        int line;
        const char* error;
        std::size_t movesKept;
    } cases[] = {
        {"empty", "", ZbkProblem::BadHeader, 0, "empty", 0},
        {"a record", "\x91\xCE\x8B\xC7\r\nupper\r\n 3735-900-900   0\r\n", ZbkProblem::BadHeader, 1,
         "not a ZUBEKI game", 0},
        {"other name", "ZUBEKI-GAMES 1\n", ZbkProblem::BadHeader, 1, "not a ZUBEKI game", 0},
        {"no version", "ZUBEKI-GAME\n", ZbkProblem::BadHeader, 1, "version '' is not", 0},
        {"bad version", "ZUBEKI-GAME 1.0\n", ZbkProblem::BadHeader, 1, "version '1.0'", 0},
        {"newer version", "ZUBEKI-GAME 2\nanything", ZbkProblem::UnknownVersion, 1,
         "version 2; this program reads version 1", 0},
        {"no position", "ZUBEKI-GAME 1\n", ZbkProblem::BadPosition, 2, "no position", 0},
        {"bad position", "ZUBEKI-GAME 1\n9/9 l - 0 1\n", ZbkProblem::BadPosition, 2,
         "line 2: the board has 2 ranks", 0},
        {"unreachable position", "ZUBEKI-GAME 1\n9/9/9/9/9/9/+R8/9/9 l - 0 1\n",
         ZbkProblem::BadPosition, 2, "inside its own camp", 0},
        {"illegal move", head + "7g7e\n3c8c\n7e7d+\n", ZbkProblem::IllegalMove, 5,
         "line 5: '7e7d+' is not a legal move here", 2},
        {"pass with a move", head + "pass\n", ZbkProblem::IllegalMove, 3, "has a legal move", 0},
        {"blank between moves", head + "7g7e\n\n3c8c\n", ZbkProblem::IllegalMove, 4, "blank", 1},
        {"two moves on a line", head + "7g7e 3c8c\n", ZbkProblem::IllegalMove, 3,
         "'7g7e 3c8c' is not one move", 0},
        {"after the end", capture + "1a1b\n", ZbkProblem::AfterEnd, 4,
         "line 4: '1a1b' comes after the end", 1},
        {"past the last number",
         "ZUBEKI-GAME 1\n" + std::string(START_POSITION, 0, 41) + " 99998\n7g7e\n3c8c\n",
         ZbkProblem::TooLong, 4, "runs past move 99999", 1},
        {"NUL", head + std::string("7g\0", 3) + "7e\n", ZbkProblem::NotText, 3, "not text", 0},
        {"control byte", head + "7g7e\x1b\n", ZbkProblem::NotText, 3, "not UTF-8 text", 0},
        {"not UTF-8", head + "7g7e\xff\n", ZbkProblem::NotText, 3, "not UTF-8 text", 0},
        {"line too long", head + std::string(maxRecordLineBytes + 1, '7'), ZbkProblem::LineTooLong,
         3, "line 3 is longer than 4096 bytes", 0},
        {"too large", head + std::string(maxRecordFileBytes, '\n'), ZbkProblem::TooLarge, 0,
         "larger than 256 KB", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const ZbkRead read = readZbkBytes(c.bytes);
        EXPECT_EQ(read.problem, c.problem);
        EXPECT_EQ(read.line, c.line);
        EXPECT_NE(read.error.find(c.error), std::string::npos) << read.error;
        EXPECT_EQ(read.error.find('\n'), std::string::npos);
        EXPECT_EQ(read.game.moves.size(), c.movesKept);
    }
}

TEST(ZbkFile, WritesNothingTheReaderWouldRefuse) {
    Position unreachable;
    unreachable.BOARD[1][7] = SITA_ROOK_PROMOTED;
    ZbkGame afterEnd = game(kCapture, {"8e8a"});
    afterEnd.moves.push_back(afterEnd.moves.front());
    ZbkGame illegal = game(START_POSITION, {"7g7e"});
    illegal.moves.push_back(illegal.moves.front()); // the upper side to move
    const struct {
        const char* what;
        ZbkGame game;
        const char* why;
    } cases[] = {
        {"unreachable", {unreachable, {}}, "the position: a promoted piece"},
        {"after the end", afterEnd, "move 2 (8e8a) comes after the end"},
        {"illegal", illegal, "move 2 (7g7e) is not legal"},
    };
    const fs::path file = fs::temp_directory_path() / ("zbk-refused-" + std::to_string(::getpid()));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::string why;
        EXPECT_EQ(zbkText(c.game, why), "");
        EXPECT_NE(why.find(c.why), std::string::npos) << why;
        EXPECT_FALSE(writeZbk(file, c.game).ok());
        EXPECT_FALSE(fs::exists(file));
    }
}

TEST(ZbkFile, TellsItsFilesFromRecordsByNameThenByContent) {
    const fs::path dir = fs::temp_directory_path() / ("zbk-kind-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const auto make = [&](const char* name, const std::string& bytes) {
        std::ofstream(dir / fs::u8path(name), std::ios::binary) << bytes;
        return dir / fs::u8path(name);
    };
    EXPECT_TRUE(isZbkFile(make("a.ZBK", "anything")));
    EXPECT_FALSE(isZbkFile(make("b.棋譜", kBlockedText)));
    EXPECT_TRUE(isZbkFile(make("c.txt", "\xEF\xBB\xBF" + kBlockedText)));
    EXPECT_FALSE(isZbkFile(make("d", "ZUBEKI-GAMES\r\n")));
    EXPECT_FALSE(isZbkFile(dir / "missing"));
    EXPECT_FALSE(isZbkFile(dir));
    fs::remove_all(dir);
}

} // namespace
} // namespace zubeki
