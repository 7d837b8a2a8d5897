#pragma once

class QWidget;

namespace zubeki {

// Waits the given seconds on a monotonic clock (so a wait over midnight still ends),
// sleeping in slices of at most 10 ms. The window keeps being painted and can still be
// closed, but presses and keys that arrive meanwhile are dropped, not queued for later.
void waitKeepingPainted(double seconds);

// The clock a wait runs on: the time now, and a sleep. The real one is the monotonic clock;
// tests hand in one whose sleeps only move its hands.
struct WaitClock {
    using Seconds = double;
    Seconds (*now)(void* context);
    void (*sleep)(void* context, Seconds seconds);
    void* context = nullptr;
};
void waitKeepingPainted(double seconds, const WaitClock& clock);

} // namespace zubeki
