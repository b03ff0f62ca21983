#pragma once

// What the Listen bar plays: a source through the tone stack's filter, with
// an A/B bypass at the stack's average loudness, an output level and a clip
// meter. The GUI thread steers it through TListenControls; Render runs on
// the audio thread and never allocates, locks or waits.

#include <array>
#include <atomic>
#include <memory>
#include <span>

#include "audio/LatestValue.h"
#include "audio/SignalSource.h"
#include "audio/StackFilter.h"

namespace cva {

struct TListenControls {
    // Written by the GUI thread.
    TLatestValue<TStackFilterCoefficients> Filter;
    std::atomic<float> Level{1.0f}; // output gain as a factor
    std::atomic<bool> Bypass{false};
    std::atomic<bool> Loop{true};
    std::atomic<float> InputTrim{1.0f}; // gain of the live input as a factor
    // Written by the audio thread; the GUI takes them with exchange.
    std::atomic<float> Peak{0.0f};
    std::atomic<bool> Clipped{false};
    std::atomic<bool> SourceEnded{false};
    // The filter's output ran away (see TStackFilter::Process): the chain is
    // silent until the next filter arrives.
    std::atomic<bool> RanAway{false};
    // The live input after its trim.
    std::atomic<float> InputPeak{0.0f};
    std::atomic<bool> InputClipped{false};
};

class TListenChain {
public:
    explicit TListenChain(TListenControls &controls) : Controls(controls) {}

    // Not while Render runs; the caller keeps both on one thread.
    void SetSource(std::unique_ptr<TSignalSource> source);
    // Forgets the filter's ringing and starts the source from the top.
    void Restart();
    void Render(std::span<float> out);
    // The rate the newest filter taken was made for; 0 before the first.
    double FilterRate() const { return HasFilter ? Filter.Latest().SampleRate : 0; }

private:
    static constexpr std::size_t BlockFrames = 256;
    void RenderBlock(std::span<float> out);

    TListenControls &Controls;
    std::unique_ptr<TSignalSource> Source;
    TStackFilter Filter;
    bool HasFilter = false;
    bool Muted = false;
    std::array<float, BlockFrames> Dry{};
    std::array<float, BlockFrames> Wet{};
    // Smoothed towards their targets so that switching is never a click.
    float BypassShare = 0;
    float Gain = 1;
};

} // namespace cva
