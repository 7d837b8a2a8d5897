#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

// Another program started with pipes to its standard input and output, its standard error
// going to a log file (or nowhere). Used to talk to an engine over the protocol.
//
// The program is started through the shell in a process group of its own, and it is that group
// which is ended: an engine under the shell, and whatever it started, end with it. While any
// is running, SIGINT, SIGTERM and SIGHUP (left to their default) end every group first.
namespace zubeki::engine {

class Process {
  public:
    // Starts `command` through the shell; errorLog "" sends its standard error nowhere.
    Process(const std::string& command, const std::string& errorLog);
    ~Process(); // end() without a last line
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
    // Ends the program and its group, whatever state it is in: sends `lastLine` (when not
    // empty, and without waiting), closes its input, waits a short while for it to end, then
    // sends the group SIGTERM, waits again and sends it SIGKILL.
    void end(std::string_view lastLine = {});

  private:
    int pid_ = -1;
    int in_ = -1;  // its standard input
    int out_ = -1; // its standard output
    bool ended_ = false;
    std::string buffer_;
    std::string error_;
};

} // namespace zubeki::engine
