#include "audio/ListenChain.h"

#include <algorithm>
#include <cmath>

#include "audio/PeakHold.h"

namespace cva {

namespace {

// Time for the bypass and the level to reach a new setting.
constexpr double RampSeconds = 0.005;

float Toward(float value, float target, float step)
{
    return value < target ? std::min(target, value + step) : std::max(target, value - step);
}

} // namespace

void TListenChain::SetSource(std::unique_ptr<TSignalSource> source)
{
    Source = std::move(source);
    Restart();
}

void TListenChain::Restart()
{
    if (Source)
        Source->Rewind();
    Filter.Reset();
    Controls.SourceEnded.store(false);
}

void TListenChain::Render(std::span<float> out)
{
    while (!out.empty()) {
        const std::size_t frames = std::min(out.size(), BlockFrames);
        RenderBlock(out.first(frames));
        out = out.subspan(frames);
    }
}

void TListenChain::RenderBlock(std::span<float> out)
{
    if (!Filter.Crossfading())
        if (const TStackFilterCoefficients *next = Controls.Filter.TakeNew()) {
            Filter.Update(*next);
            HasFilter = true;
            Muted = false;
        }
    if (!Source || !HasFilter || Muted) {
        std::fill(out.begin(), out.end(), 0.0f);
        return;
    }
    const std::span<float> dry(Dry.data(), out.size());
    const std::span<float> wet(Wet.data(), out.size());
    Source->Render(dry);
    if (Source->Finished()) {
        if (Controls.Loop.load(std::memory_order_relaxed))
            Source->Rewind();
        else
            Controls.SourceEnded.store(true);
    }
    // The filter runs while bypassed too, so switching back finds it settled.
    if (!Filter.Process(dry, wet)) {
        // Never a burst of full-scale samples at the listener's ears.
        Muted = true;
        Controls.RanAway.store(true);
        std::fill(out.begin(), out.end(), 0.0f);
        return;
    }

    const TStackFilterCoefficients &filter = Filter.Coefficients();
    const auto step = static_cast<float>(1.0 / (RampSeconds * filter.SampleRate));
    // The level follows exponentially, settled to 1 % within the ramp time.
    const auto smoothing = static_cast<float>(1.0 - std::exp(-4.6 / (RampSeconds * filter.SampleRate)));
    const float bypassTarget = Controls.Bypass.load(std::memory_order_relaxed) ? 1.0f : 0.0f;
    const float levelTarget = Controls.Level.load(std::memory_order_relaxed);
    const auto bypassGain = static_cast<float>(filter.AverageGain);
    float peak = 0;
    bool clipped = false;
    for (std::size_t k = 0; k < out.size(); ++k) {
        BypassShare = Toward(BypassShare, bypassTarget, step);
        Gain += smoothing * (levelTarget - Gain);
        float value = Gain * (wet[k] + BypassShare * (bypassGain * dry[k] - wet[k]));
        const float size = std::abs(value);
        peak = std::max(peak, size);
        if (size > 1.0f) {
            clipped = true;
            value = std::copysign(1.0f, value);
        }
        out[k] = value;
    }
    HoldPeak(Controls.Peak, peak);
    if (clipped)
        Controls.Clipped.store(true, std::memory_order_relaxed);
}

} // namespace cva
