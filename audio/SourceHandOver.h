#pragma once

// Replaces the source an audio callback plays without a lock and without
// the callback ever freeing memory. The callback reads the current source
// once per cycle and counts its finished cycles; the control thread owns
// every source and frees a replaced one only once a cycle has finished
// since the replacement, when no cycle can still be using it.

#include <atomic>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "audio/SignalSource.h"

namespace cva {

class TSourceHandOver {
public:
    // Control thread. 'next' plays from the callback's next cycle on.
    void Replace(std::unique_ptr<TSignalSource> next);
    // Control thread: frees the replaced sources no cycle can be using any more.
    void FreeRetired();
    // Control thread, once the callback runs no more (the client is closed).
    void FreeAll();

    // Audio thread: the source for this cycle (null when none), and the end of the cycle.
    TSignalSource *BeginCycle() const { return Current.load(std::memory_order_seq_cst); }
    void EndCycle() { Cycles.fetch_add(1, std::memory_order_seq_cst); }

private:
    std::atomic<TSignalSource *> Current{nullptr};
    std::atomic<std::uint64_t> Cycles{0};
    // Control thread only.
    std::unique_ptr<TSignalSource> Owned;
    std::vector<std::pair<std::unique_ptr<TSignalSource>, std::uint64_t>> Retired; // with the count when replaced
};

} // namespace cva
