#pragma once

namespace zubeki {

// Where the evaluation gets the last digit (0..9) of the wall clock's seconds.
// A plain function pointer with a context, so passing it around never allocates.
struct ClockDigit {
    using Reader = int (*)(const void* context);

    Reader read = &localSecondsDigit;
    const void* context = nullptr;

    int operator()() const { return read(context); }

    // The real source: seconds of the local time of day, modulo 10.
    static int localSecondsDigit(const void* context);
    // A source that always answers `digit` (0..9).
    static ClockDigit fixed(int digit);
    // A source that answers whatever the int at `digit` holds when asked.
    static ClockDigit reading(const int& digit);
};

// Where a search with a time budget reads the time: milliseconds on a monotonic clock, from
// any fixed origin. Also a function pointer with a context, so tests can hand in a clock that
// moves only when they say.
struct SearchClock {
    using Reader = double (*)(const void* context);

    Reader read = &steadyMilliseconds;
    const void* context = nullptr;

    double operator()() const { return read(context); }

    // The real source: std::chrono::steady_clock.
    static double steadyMilliseconds(const void* context);
    // A source that answers whatever the double at `milliseconds` holds when asked.
    static SearchClock reading(const double& milliseconds);
};

} // namespace zubeki
