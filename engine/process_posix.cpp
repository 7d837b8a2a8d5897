#include "engine/process.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace zubeki::engine {

namespace {

// A program that has ended must not end us when we write to it.
void ignoreBrokenPipes() {
    struct sigaction current {};
    if (sigaction(SIGPIPE, nullptr, &current) == 0 && current.sa_handler == SIG_DFL)
        std::signal(SIGPIPE, SIG_IGN);
}

} // namespace

Process::Process(const std::string& command, const std::string& errorLog) {
    ignoreBrokenPipes();
    int toChild[2], fromChild[2];
    if (pipe2(toChild, O_CLOEXEC) != 0) {
        error_ = std::strerror(errno);
        return;
    }
    if (pipe2(fromChild, O_CLOEXEC) != 0) {
        error_ = std::strerror(errno);
        close(toChild[0]);
        close(toChild[1]);
        return;
    }
    const int log = errorLog.empty()
                        ? open("/dev/null", O_WRONLY | O_CLOEXEC)
                        : open(errorLog.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    pid_ = fork();
    if (pid_ == 0) {
        // The child: its pipes as standard input and output, the log as standard error.
        dup2(toChild[0], 0);
        dup2(fromChild[1], 1);
        if (log >= 0) dup2(log, 2);
        execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    if (log >= 0) close(log);
    close(toChild[0]);
    close(fromChild[1]);
    if (pid_ < 0) {
        error_ = std::strerror(errno);
        close(toChild[1]);
        close(fromChild[0]);
        return;
    }
    in_ = toChild[1];
    out_ = fromChild[0];
}

Process::~Process() {
    if (in_ >= 0) close(in_);
    if (pid_ > 0) {
        // Its input closed, an engine ends by itself; one that does not is killed.
        for (int i = 0; i < 50; ++i) {
            if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
                pid_ = -1;
                break;
            }
            usleep(10'000);
        }
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }
    if (out_ >= 0) close(out_);
}

bool Process::send(std::string_view line) {
    if (in_ < 0) return false;
    std::string text(line);
    text += '\n';
    std::size_t at = 0;
    while (at < text.size()) {
        const ssize_t n = write(in_, text.data() + at, text.size() - at);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ended_ = true;
            return false;
        }
        at += static_cast<std::size_t>(n);
    }
    return true;
}

std::optional<std::string> Process::readLine(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (const std::size_t nl = buffer_.find('\n'); nl != std::string::npos) {
            std::string line = buffer_.substr(0, nl);
            buffer_.erase(0, nl + 1);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            return line;
        }
        if (out_ < 0 || ended_) return std::nullopt;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return std::nullopt;
        pollfd p{out_, POLLIN, 0};
        const int ready = poll(&p, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) return std::nullopt;
        char chunk[4096];
        const ssize_t n = read(out_, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ended_ = true;
            continue; // what is left in the buffer may still hold a line
        }
        buffer_.append(chunk, static_cast<std::size_t>(n));
        // A program that never ends its line is not read without bound.
        if (buffer_.size() > (1u << 20) && buffer_.find('\n') == std::string::npos) buffer_.clear();
    }
}

} // namespace zubeki::engine
