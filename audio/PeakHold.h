#pragma once

// The audio thread's side of a level meter: raises the peak the GUI thread
// shows (and takes back to zero with exchange) without a lock.

#include <atomic>

namespace cva {

inline void HoldPeak(std::atomic<float> &shown, float peak)
{
    float current = shown.load(std::memory_order_relaxed);
    while (peak > current && !shown.compare_exchange_weak(current, peak, std::memory_order_relaxed))
        ;
}

} // namespace cva
