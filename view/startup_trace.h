#pragma once

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace zubeki {

// Where start-up spends its time: with ZUBEKI_STARTUP_TRACE set, each stage writes
// "startup STAGE MS" to standard error, MS the wall clock in milliseconds since the epoch, so
// a script can set the stages against the moment it started the program.
inline void startupMark(const char* stage) {
    static const bool on = std::getenv("ZUBEKI_STARTUP_TRACE") != nullptr;
    if (!on) return;
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    std::fprintf(stderr, "startup %s %.3f\n", stage,
                 std::chrono::duration<double, std::milli>(now).count());
    std::fflush(stderr);
}

} // namespace zubeki
