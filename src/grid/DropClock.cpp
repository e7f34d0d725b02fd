#include "DropClock.h"

#include <chrono>

DropClock monotonicDropClock() {
    return [] {
        const auto now = std::chrono::steady_clock::now().time_since_epoch();
        return std::chrono::duration<double>(now).count();
    };
}
