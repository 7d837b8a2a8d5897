#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

// Another program started with pipes to its standard input and output, its standard error
// going to a log file (or nowhere). Used to talk to an engine over the protocol.
namespace zubeki::engine {

class Process {
  public:
    // Starts `command` through the shell; errorLog "" sends its standard error nowhere.
    Process(const std::string& command, const std::string& errorLog);
    ~Process(); // asks nothing: closes its input, waits a moment, then kills it
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    bool started() const { return pid_ > 0; }
    const std::string& error() const { return error_; }
    // Writes one line; false when the program no longer reads (it has ended).
    bool send(std::string_view line);
    // The next line it writes, or nullopt when it has ended or `timeout` has passed first.
    std::optional<std::string> readLine(std::chrono::milliseconds timeout);
    // Has it ended (its output closed)?
    bool ended() const { return ended_; }

  private:
    int pid_ = -1;
    int in_ = -1;  // its standard input
    int out_ = -1; // its standard output
    bool ended_ = false;
    std::string buffer_;
    std::string error_;
};

} // namespace zubeki::engine
