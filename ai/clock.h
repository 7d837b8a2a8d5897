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

} // namespace zubeki
