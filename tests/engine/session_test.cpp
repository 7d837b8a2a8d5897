// zubeki-engine as a GUI meets it: a real process scripted line by line.

#include "engine/process.h"
#include "game/moves.h"
#include "game/position_text.h"
#include "record/encoding.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

namespace zubeki::engine {
namespace {

using namespace std::chrono_literals;

// Generous: a line that does not come within this is a hang, whatever the machine.
constexpr auto kPatience = 20s;
// What "at once" is allowed on a loaded machine: the engine answers within 50 ms.
constexpr auto kAtOnce = 1s;

class Engine {
  public:
    Engine() : p_(ZUBEKI_ENGINE_PROGRAM, "") {}
    void send(const std::string& line) { ASSERT_TRUE(p_.send(line)) << line; }
    // Every line up to and including the first that starts with `prefix`.
    std::vector<std::string> until(const std::string& prefix,
                                   std::chrono::milliseconds patience = kPatience) {
        std::vector<std::string> lines;
        while (const auto line = p_.readLine(patience)) {
            lines.push_back(*line);
            if (line->rfind(prefix, 0) == 0) return lines;
        }
        ADD_FAILURE() << "no line starting with '" << prefix << "'";
        return lines;
    }
    Process& process() { return p_; }

  private:
    Process p_;
};

TEST(EngineSession, HandshakePositionAndALegalMove) {
    Engine e;
    e.send("zubeki");
    const std::vector<std::string> hello = e.until("zubekiok");
    ASSERT_GE(hello.size(), 5u);
    EXPECT_EQ(hello[0].rfind("id name ZUBEKI ", 0), 0u);
    EXPECT_EQ(hello[1].rfind("id author ", 0), 0u);
    for (const char* option : {"option name Threads type spin default 1 min 1 max ",
                               "option name Hash type spin default 16 min 1 max 1024",
                               "option name MultiPV type spin default 1 min 1 max 8"}) {
        bool found = false;
        for (const std::string& l : hello) found = found || l.rfind(option, 0) == 0;
        EXPECT_TRUE(found) << option;
    }
    e.send("setoption name MultiPV value 2");
    e.send("newgame");
    e.send("position startpos moves 7g7e 3c8c");
    e.send("go nodes 20000");
    const std::vector<std::string> answer = e.until("bestmove ");
    // The move is legal in the position after the two moves, and the last info line (there is
    // one before bestmove) carries two lines of play.
    ReadPosition start = 局面読込(START_POSITION);
    Position s = start.state;
    for (const char* text : {"7g7e", "3c8c"}) {
        std::string why;
        const auto m = 指し手解釈(s, start.side, text, why);
        ASSERT_TRUE(m) << why;
        s = 指し手後(s, start.side, *m).state;
        start.side = -start.side;
    }
    std::string why;
    EXPECT_TRUE(指し手解釈(s, start.side, answer.back().substr(9), why)) << why;
    ASSERT_GE(answer.size(), 3u);
    EXPECT_NE(answer[answer.size() - 2].find(" multipv 2 "), std::string::npos);
    EXPECT_NE(answer[answer.size() - 3].find(" multipv 1 "), std::string::npos);
    for (std::size_t i = 0; i + 1 < answer.size(); ++i) {
        const std::string& info = answer[i];
        EXPECT_EQ(info.rfind("info depth ", 0), 0u) << info;
        for (const char* field :
             {" seldepth ", " score ", " nodes ", " nps ", " time ", " hashfull ", " pv "})
            EXPECT_NE(info.find(field), std::string::npos) << field << " in " << info;
    }
}

TEST(EngineSession, AnswersWhileItThinksAndStopsWhenTold) {
    Engine e;
    e.send("position startpos");
    e.send("go infinite");
    e.send("isready");
    e.until("readyok");
    e.send("stop");
    EXPECT_EQ(e.until("bestmove ").back().rfind("bestmove ", 0), 0u);
    // And quit ends it at once, also in the middle of a search.
    e.send("go infinite");
    e.send("quit");
    while (e.process().readLine(kPatience)) {
    }
    EXPECT_TRUE(e.process().ended());
}

TEST(EngineSession, StrangeLinesAreAnsweredAndForgotten) {
    Engine e;
    struct Case {
        std::string line;
        const char* answer;
    };
    const Case cases[] = {
        {"hello there", "info string unknown command: hello there"},
        {"setoption name Threads value 0", "info string Threads must be 1.."},
        {"setoption name Colour value red", "info string no option named 'Colour'"},
        {"setoption", "info string setoption needs"},
        {"position startpos moves 7g6f", "info string move 1: '7g6f' is not a legal move"},
        {"position pos 9/9 l - 0 1", "info string the board has 2 ranks"},
        {"position", "info string position needs"},
        {std::string(3 << 20, 'x'), "info string line too long"},
        {std::string("\x01\xff\xfe go \x7f"), "info string unknown command: "},
    };
    for (const Case& c : cases) {
        e.send(c.line);
        e.send("isready");
        const std::vector<std::string> lines = e.until("readyok");
        ASSERT_EQ(lines.size(), 2u) << c.answer;
        EXPECT_EQ(lines[0].rfind(c.answer, 0), 0u) << lines[0].substr(0, 200);
    }
    // The position refused, the previous one stays: from the start the side to move is l.
    e.send("position startpos moves 9g9f 1c1d 9f8f");
    e.send("position startpos moves 9g9f oops");
    e.send("go depth 1");
    const std::string best = e.until("bestmove ").back();
    EXPECT_NE(best, "bestmove none");
    // A game that has already ended: nothing left to play.
    e.send("position pos 8R/9/9/9/9/9/rr2r4/rrr6/rrr6 u - 0 40 moves 5g7g");
    e.send("go nodes 100");
    EXPECT_EQ(e.until("bestmove").back(), "bestmove none");
    // A side without a move passes.
    e.send("position pos 8R/9/9/9/9/9/rr2r4/rrr6/rrr6 l - 0 40");
    e.send("go nodes 100");
    EXPECT_EQ(e.until("bestmove").back(), "bestmove pass");
}

// The milliseconds from now until the line starting with `prefix`.
double msUntil(Engine& e, const std::string& prefix) {
    const auto from = std::chrono::steady_clock::now();
    e.until(prefix);
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - from)
        .count();
}

TEST(EngineSession, TheTableIsMadeWhenTheHashIsSetSoTheFirstSearchIsNoSlower) {
    Engine e;
    e.send("position startpos");
    e.send("setoption name Hash value 1024");
    e.send("isready");
    const double ready = msUntil(e, "readyok");
    e.send("go nodes 1000");
    const double first = msUntil(e, "bestmove ");
    e.send("go nodes 1000");
    const double second = msUntil(e, "bestmove ");
    // A gigabyte is not made in no time: made at the first go, it slowed that search alone.
    EXPECT_LT(first, ready) << "first " << first << " ms, second " << second << " ms";
    EXPECT_LT(first, 3 * second + 200) << "first " << first << " ms, second " << second << " ms";
    // Told to quit while it makes another table, it ends at once all the same.
    e.send("setoption name Hash value 1000");
    const auto from = std::chrono::steady_clock::now();
    e.send("quit");
    while (e.process().readLine(kAtOnce)) {
    }
    EXPECT_TRUE(e.process().ended());
    EXPECT_LT(std::chrono::steady_clock::now() - from, kAtOnce);
}

TEST(EngineSession, CommandsDuringASearchAreAnsweredAtOnce) {
    // Each of these stops the search (its bestmove still comes) and is then carried out.
    for (const char* command :
         {"newgame", "position startpos moves 7g7e", "setoption name Threads value 1"}) {
        SCOPED_TRACE(command);
        Engine e;
        e.send("position startpos");
        e.send("go infinite");
        e.until("info depth ");
        e.send(command);
        e.send("isready");
        const std::vector<std::string> lines = e.until("readyok", kAtOnce);
        ASSERT_GE(lines.size(), 2u);
        EXPECT_EQ(lines.back(), "readyok");
        EXPECT_EQ(lines[lines.size() - 2].rfind("bestmove ", 0), 0u);
        // Carried out: a new search from there, and isready in its middle answered at once.
        e.send("go infinite");
        e.send("isready");
        for (const std::string& l : e.until("readyok", kAtOnce))
            EXPECT_NE(l.rfind("bestmove", 0), 0u) << l;
        const auto from = std::chrono::steady_clock::now();
        e.send("quit");
        while (e.process().readLine(kAtOnce)) {
        }
        EXPECT_TRUE(e.process().ended());
        EXPECT_LT(std::chrono::steady_clock::now() - from, kAtOnce);
    }
}

TEST(EngineSession, EveryLineItWritesIsUtf8WhateverItWasSent) {
    Engine e;
    const std::string bad = "\xff\xfe\xc3\x28 hello";
    std::string wide = "x";
    for (int i = 0; i < 21; ++i) wide += "あ"; // a cut at 60 bytes would split the 20th
    for (const std::string& line :
         {bad, wide, "position pos " + bad, "position startpos moves " + bad,
          "setoption name " + bad + " value 1", "setoption name Hash value " + bad,
          "go depth " + bad, "go " + bad + " depth 1", "position " + wide + bad}) {
        e.send(line);
    }
    e.send("isready");
    const std::vector<std::string> lines = e.until("readyok");
    EXPECT_GE(lines.size(), 10u);
    bool escaped = false;
    for (const std::string& l : lines) {
        EXPECT_TRUE(isValidUtf8(l)) << l;
        escaped = escaped || l.find("\\xff\\xfe\\xc3( hello") != std::string::npos;
    }
    EXPECT_TRUE(escaped);
}

} // namespace
} // namespace zubeki::engine
