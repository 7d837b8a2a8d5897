// zubeki-engine: LEVEL4 behind the engine protocol on standard input and output.

#include "engine/bench.h"
#include "engine/session.h"

#include "ai/level4.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <future>
#include <iostream>
#include <mutex>
#include <string>
#include <thread>

namespace {

constexpr const char* kHelp =
    "usage: zubeki-engine [-h | --help | --version]\n"
    "       zubeki-engine bench [DEPTH]\n"
    "\n"
    "Speaks the engine protocol on standard input and output: zubeki, isready, setoption,\n"
    "newgame, position startpos|pos FIELDS [moves M ...], go [nodes N] [movetime T]\n"
    "[depth D] [infinite], stop, quit. See zubeki-engine(6).\n"
    "bench searches fixed positions on one thread to DEPTH (default 9) and prints the nodes\n"
    "of each, their total (the build's signature: the same on every run and machine while\n"
    "the search and the evaluation stay the same), then the nodes a second.\n";

// Reads one line into `line`; a line longer than the engine takes is read to its end and
// handed on at its limit plus one byte, so that the session refuses it. False at the end.
bool readLine(std::FILE* in, std::string& line) {
    line.clear();
    bool any = false;
    for (int c = std::getc(in); c != EOF; c = std::getc(in)) {
        any = true;
        if (c == '\n') return true;
        if (line.size() <= zubeki::engine::MAX_LINE) line += static_cast<char>(c);
    }
    return any;
}

// The lines read, waiting to be carried out. The main thread reads them; another carries them
// out, so that quit is read, and ends the engine, even while a command takes long (a table of
// a gigabyte being made).
class Inbox {
  public:
    void put(std::string line) {
        {
            const std::lock_guard<std::mutex> lock(lock_);
            lines_.push_back(std::move(line));
        }
        arrived_.notify_one();
    }
    void close() {
        {
            const std::lock_guard<std::mutex> lock(lock_);
            closed_ = true;
        }
        arrived_.notify_one();
    }
    // The next line; false once the input has ended and every line has been taken.
    bool take(std::string& line) {
        std::unique_lock<std::mutex> lock(lock_);
        arrived_.wait(lock, [this] { return closed_ || !lines_.empty(); });
        if (lines_.empty()) return false;
        line = std::move(lines_.front());
        lines_.pop_front();
        return true;
    }

  private:
    std::mutex lock_;
    std::condition_variable arrived_;
    std::deque<std::string> lines_;
    bool closed_ = false;
};

// Carries out the lines until quit or the end of the input.
void carryOut(zubeki::engine::Session& session, Inbox& inbox) {
    std::string line;
    while (inbox.take(line))
        if (!session.handle(line)) break;
    session.finish();
}

bool isQuit(std::string_view line) {
    const std::vector<std::string_view> w = zubeki::engine::words(line);
    return !w.empty() && w[0] == "quit";
}

void say(std::string_view line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

int run() {
    const unsigned cores = std::thread::hardware_concurrency();
    zubeki::engine::Session session(say, cores == 0 ? 1 : static_cast<int>(cores));
    Inbox inbox;
    std::packaged_task<void()> work([&] { carryOut(session, inbox); });
    std::future<void> done = work.get_future();
    std::thread worker(std::move(work));
    std::string line;
    bool quit = false;
    while (!quit && readLine(stdin, line)) {
        quit = isQuit(line);
        inbox.put(line);
    }
    inbox.close();
    // Told to quit, the engine ends at once: what is still being done is left undone.
    if (quit && done.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready) {
        std::fflush(stdout);
        std::_Exit(0);
    }
    worker.join();
    return 0;
}

// bench [DEPTH]: the signature, then the speed on a line of its own.
int bench(int argc, char** argv) {
    int depth = zubeki::engine::BENCH_DEPTH;
    if (argc > 3 || (argc == 3 && std::sscanf(argv[2], "%d", &depth) != 1) || depth < 1 ||
        depth > zubeki::Level4Search::kMaxDepth) {
        std::fprintf(stderr, "zubeki-engine: bench takes one DEPTH, 1..%d\n",
                     zubeki::Level4Search::kMaxDepth);
        return 2;
    }
    const zubeki::engine::BenchResult r = zubeki::engine::runBench(depth, say);
    if (!r.ok) return 1;
    std::printf("signature %llu\n", static_cast<unsigned long long>(r.nodes));
    std::printf("nodes/s %.0f\n", r.ms > 0 ? static_cast<double>(r.nodes) * 1000.0 / r.ms : 0.0);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "bench") == 0) return bench(argc, argv);
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("zubeki-engine %s\n", ZUBEKI_VERSION);
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kHelp, stdout);
            return 0;
        }
        std::fprintf(stderr, "zubeki-engine: unknown option %s (see --help)\n", argv[i]);
        return 2;
    }
    return run();
}
