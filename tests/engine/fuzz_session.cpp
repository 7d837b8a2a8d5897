// The engine's line reader under libFuzzer: every input is a script of lines for a session.
// A search is kept to one ply so that the fuzzer reads lines rather than waits on searches.

#include "engine/session.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    zubeki::engine::Session session([](std::string_view) {}, 2);
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    std::size_t at = 0;
    while (at <= input.size()) {
        const std::size_t end = std::min(input.find('\n', at), input.size());
        std::string_view line = input.substr(at, end - at);
        at = end + 1;
        const auto w = zubeki::engine::words(line);
        if (!w.empty() && w[0] == "go") line = "go depth 1";
        if (!session.handle(line)) break;
        session.handle("stop");
    }
    session.finish();
    return 0;
}
