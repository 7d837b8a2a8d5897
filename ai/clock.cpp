#include "ai/clock.h"

#include <chrono>
#include <ctime>

namespace zubeki {

namespace {
constexpr int kDigits[10] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};

int readInt(const void* context) {
    return *static_cast<const int*>(context);
}

double readDouble(const void* context) {
    return *static_cast<const double*>(context);
}

// Converting to local time is the slow part, so it is done once per second of the clock.
thread_local std::time_t lastSecond = -1;
thread_local int lastDigit = 0;
} // namespace

int ClockDigit::localSecondsDigit(const void*) {
    const std::time_t now = std::time(nullptr);
    if (now != lastSecond) {
        std::tm local{};
#if defined(_WIN32)
        localtime_s(&local, &now);
#else
        localtime_r(&now, &local);
#endif
        lastSecond = now;
        lastDigit = local.tm_sec % 10;
    }
    return lastDigit;
}

ClockDigit ClockDigit::fixed(int digit) {
    const int d = digit < 0 ? 0 : (digit > 9 ? 9 : digit);
    return ClockDigit{&readInt, &kDigits[d]};
}

ClockDigit ClockDigit::reading(const int& digit) {
    return ClockDigit{&readInt, &digit};
}

double SearchClock::steadyMilliseconds(const void*) {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return std::chrono::duration<double, std::milli>(now).count();
}

SearchClock SearchClock::reading(const double& milliseconds) {
    return SearchClock{&readDouble, &milliseconds};
}

} // namespace zubeki
