// The engine's line reader under libFuzzer: every input is a script of lines for a session.
// A search is kept to one ply and the table to its least so that the fuzzer reads lines rather
// than waits on searches and memory.

#include "engine/session.h"
#include "record/encoding.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

bool mentionsHash(std::string_view line) {
    for (std::size_t i = 0; i + 4 <= line.size(); ++i) {
        std::string lower(line.substr(i, 4));
        for (char& c : lower) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        if (lower == "hash") return true;
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Whatever it is sent, every line it writes is UTF-8.
    zubeki::engine::Session session(
        [](std::string_view out) {
            if (!zubeki::isValidUtf8(out)) __builtin_trap();
        },
        2);
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    std::size_t at = 0;
    while (at <= input.size()) {
        const std::size_t end = std::min(input.find('\n', at), input.size());
        std::string_view line = input.substr(at, end - at);
        at = end + 1;
        const auto w = zubeki::engine::words(line);
        if (!w.empty() && w[0] == "go") line = "go depth 1";
        // The table is made when Hash is set: a gigabyte a line would only measure the memory.
        if (w.size() >= 3 && w[0] == "setoption" && mentionsHash(line))
            line = "setoption name Hash value 1";
        if (!session.handle(line)) break;
        session.handle("stop");
    }
    session.finish();
    return 0;
}
