#pragma once

#include <functional>

// Seconds on some monotonic clock. The drop handlers measure resting time with
// it; tests hand in a clock they advance themselves instead of sleeping.
using DropClock = std::function<double()>;

// The process's monotonic clock (not the wall clock, which may jump).
[[nodiscard]] DropClock monotonicDropClock();
