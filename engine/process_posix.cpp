#include "engine/process.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace zubeki::engine {

namespace {

using namespace std::chrono_literals;

// How long a program is given to end after its last line, and again after SIGTERM.
constexpr auto kGrace = 500ms;

// The programs running now (0: a free place), for a signal that ends us: read by the handler,
// so only lock-free atomics.
constexpr int kMostRunning = 256;
std::atomic<pid_t> running[kMostRunning];
static_assert(std::atomic<pid_t>::is_always_lock_free);

void noteRunning(pid_t pid) {
    for (std::atomic<pid_t>& place : running) {
        pid_t free = 0;
        if (place.compare_exchange_strong(free, pid)) return;
    }
}

void noteEnded(pid_t pid) {
    for (std::atomic<pid_t>& place : running) {
        pid_t was = pid;
        if (place.compare_exchange_strong(was, 0)) return;
    }
}

// How many programs were sent the signal, each with its group.
int signalAll(int signal) {
    int sent = 0;
    for (const std::atomic<pid_t>& place : running)
        if (const pid_t pid = place.load(); pid > 0) {
            kill(-pid, signal);
            kill(pid, signal);
            ++sent;
        }
    return sent;
}

// Ended by a signal: every program's group is ended first, then we end as the signal would.
extern "C" void endRunningAndDie(int signal) {
    if (signalAll(SIGTERM) > 0) {
        timespec grace{0, 200'000'000};
        nanosleep(&grace, nullptr);
        signalAll(SIGKILL);
    }
    std::signal(signal, SIG_DFL);
    raise(signal);
}

// A program that has ended must not end us when we write to it; and one that runs must not
// outlive us when we are interrupted or told to end. Handlers set by our caller are kept.
void installHandlers() {
    static std::once_flag once;
    std::call_once(once, [] {
        struct sigaction current {};
        if (sigaction(SIGPIPE, nullptr, &current) == 0 && current.sa_handler == SIG_DFL)
            std::signal(SIGPIPE, SIG_IGN);
        for (const int signal : {SIGINT, SIGTERM, SIGHUP})
            if (sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_DFL)
                std::signal(signal, endRunningAndDie);
    });
}

// Whether the program has ended within `wait`; it is left unreaped, so that its process group
// number is not given to another before the group has been ended.
bool endsWithin(pid_t pid, std::chrono::milliseconds wait) {
    const auto until = std::chrono::steady_clock::now() + wait;
    for (;;) {
        siginfo_t info{};
        if (waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) != 0) {
            if (errno == EINTR) continue;
            return true; // not ours to wait for any more
        }
        if (info.si_pid == pid) return true;
        if (std::chrono::steady_clock::now() >= until) return false;
        usleep(5'000);
    }
}

} // namespace

Process::Process(const std::string& command, const std::string& errorLog) {
    installHandlers();
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
        // The child: a process group of its own, its pipes as standard input and output, the
        // log as standard error.
        setpgid(0, 0);
        std::signal(SIGPIPE, SIG_DFL); // we ignore it; the program gets the default
        dup2(toChild[0], 0);
        dup2(fromChild[1], 1);
        if (log >= 0) dup2(log, 2);
        execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    if (pid_ > 0) {
        setpgid(pid_, pid_); // also here, so that it is so before we may signal the group
        noteRunning(pid_);
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
    end();
}

void Process::end(std::string_view lastLine) {
    if (in_ >= 0) {
        if (!lastLine.empty() && !ended_) {
            // A program that reads nothing more must not keep us waiting on a full pipe.
            fcntl(in_, F_SETFL, fcntl(in_, F_GETFL) | O_NONBLOCK);
            const std::string text = std::string(lastLine) + '\n';
            [[maybe_unused]] const ssize_t n = write(in_, text.data(), text.size());
        }
        close(in_);
        in_ = -1;
    }
    if (pid_ > 0) {
        // Its input closed, an engine ends by itself; the rest of its group is ended anyway.
        if (!endsWithin(pid_, kGrace)) {
            kill(-pid_, SIGTERM);
            kill(pid_, SIGTERM);
            endsWithin(pid_, kGrace);
        }
        kill(-pid_, SIGTERM);
        kill(-pid_, SIGKILL);
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
        noteEnded(pid_);
        pid_ = -1;
    }
    if (out_ >= 0) close(out_);
    out_ = -1;
    ended_ = true;
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
