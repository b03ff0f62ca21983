#pragma once

// One audio cycle of listening through a low-latency audio server: the
// captured block in, the block to play out, in the same cycle. It plays the
// source the control thread chose (a synthesized one, a file, or the live
// input) through the listening chain. Process runs on the server's
// real-time thread and never allocates, locks, waits or calls the system;
// everything else runs on the control thread.

#include <atomic>
#include <memory>
#include <span>

#include "audio/ListenChain.h"
#include "audio/LiveInput.h"
#include "audio/SourceHandOver.h"

namespace cva {

class TListenProcessor {
public:
    explicit TListenProcessor(TListenControls &controls);

    // Control thread.
    void SetSource(std::unique_ptr<TSignalSource> source) { HandOver.Replace(std::move(source)); }
    // A source that plays what the cycle captured; hand it to SetSource.
    std::unique_ptr<TSignalSource> MakeLiveInput() { return std::make_unique<TLiveInput>(Capture, Controls); }
    // Play starts the source from the top and the filter from rest.
    void Play();
    void Stop() { Playing.store(false); }
    // Frees replaced sources; FreeAll also the current one, once no cycle runs any more.
    void FreeRetired() { HandOver.FreeRetired(); }
    void FreeAll() { HandOver.FreeAll(); }
    // Frames played since the last Play.
    long long FramesPlayed() const { return Frames.load(std::memory_order_relaxed); }

    // Any thread: the cycles now run at 'rate' (0 until known). A filter
    // made for another rate would play the stack at the wrong frequencies,
    // so the cycles are silent until one made for this rate arrives.
    void SetRate(double rate) { Rate.store(rate); }
    double CurrentRate() const { return Rate.load(); }

    // Audio thread: one cycle; 'input' and 'output' have the same length.
    void Process(std::span<const float> input, std::span<float> output);

private:
    TListenControls &Controls;
    TSourceHandOver HandOver;
    TCaptureBlock Capture;
    TListenChain Chain;
    std::atomic<bool> Playing{false};
    std::atomic<bool> RestartPending{false};
    std::atomic<long long> Frames{0};
    std::atomic<double> Rate{0};
};

} // namespace cva
