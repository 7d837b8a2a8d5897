// zubeki-engine: LEVEL4 behind the engine protocol on standard input and output.

#include "engine/session.h"

#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <thread>

namespace {

constexpr const char* kHelp =
    "usage: zubeki-engine [-h | --help | --version]\n"
    "\n"
    "Speaks the engine protocol on standard input and output: zubeki, isready, setoption,\n"
    "newgame, position startpos|pos FIELDS [moves M ...], go [nodes N] [movetime T]\n"
    "[depth D] [infinite], stop, quit. See zubeki-engine(6).\n";

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

} // namespace

int main(int argc, char** argv) {
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
    const unsigned cores = std::thread::hardware_concurrency();
    zubeki::engine::Session session(
        [](std::string_view line) {
            std::fwrite(line.data(), 1, line.size(), stdout);
            std::fputc('\n', stdout);
            std::fflush(stdout);
        },
        cores == 0 ? 1 : static_cast<int>(cores));
    std::string line;
    while (readLine(stdin, line))
        if (!session.handle(line)) return 0;
    session.finish(); // the GUI went away
    return 0;
}
