#pragma once

#include "game/position.h"
#include "play/computer.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

// The engine's side of the text protocol: lines from the GUI in, lines to it out. LEVEL4
// searches on a worker thread, so the GUI is answered while it thinks.
namespace zubeki::engine {

// One line of the engine's answer, without its line end. Called under the session's lock.
using Output = std::function<void(std::string_view line)>;

// The longest input line the engine reads; anything longer is refused in one piece.
inline constexpr std::size_t MAX_LINE = 1 << 20;

struct GoLimits {
    std::uint64_t nodes = 0;
    double movetime = 0; // ms
    int depth = 0;
    bool infinite = false;
};

class Session {
  public:
    Session(Output out, int cores);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // One line from the GUI. Answers false once the engine is to end (quit).
    bool handle(std::string_view line);
    // The end of the input: any search stops at once.
    void finish();
    // Is a search running (its bestmove not yet sent)?
    bool searching() const { return searching_; }

  private:
    void say(std::string_view line);
    void identify();
    void setOption(const std::vector<std::string_view>& words);
    void newGame();
    void position(const std::vector<std::string_view>& words);
    void go(const std::vector<std::string_view>& words);
    void stop();
    void join();
    // Stops a search (its bestmove written) before a command that changes what it searches.
    void stopSearch();
    // Makes LEVEL4's table and threads as the options ask.
    void prepareSearch();
    void search(GoLimits limits, Position state, int side, std::vector<Position> line);

    Output out_;
    std::mutex outLock_;
    int cores_;
    int threads_ = 1;
    int hashMegabytes_ = 16;
    int multiPv_ = 1;

    // The position of the last good `position` command, the positions of its line before it,
    // and whether the game had already ended there.
    Position position_;
    int side_ = -1;
    bool ended_ = false;
    std::vector<Position> line_;

    Computer computer_;
    std::thread worker_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> searching_{false};
    // `go infinite` holds its bestmove back until `stop`.
    std::mutex stopLock_;
    std::condition_variable stopped_;
    bool stopAsked_ = false;
};

// The words of a line, split at blanks and tabs (and a carriage return left by a Windows GUI).
std::vector<std::string_view> words(std::string_view line);

} // namespace zubeki::engine
