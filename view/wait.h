#pragma once

class QWidget;

namespace zubeki {

// Waits the given seconds on a monotonic clock (so a wait over midnight still ends),
// sleeping in slices of at most 10 ms. The window keeps being painted and can still be
// closed, but presses and keys that arrive meanwhile are dropped, not queued for later.
void waitKeepingPainted(double seconds);

} // namespace zubeki
