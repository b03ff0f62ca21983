#include "audio/LiveInput.h"

#include <algorithm>
#include <cmath>

#include "audio/PeakHold.h"

namespace cva {

namespace {

// A turn of the trim takes about this many samples to be followed (a few
// milliseconds at the usual rates).
constexpr float TrimSmoothing = 1.0f / 256;

} // namespace

void TLiveInput::Render(std::span<float> out)
{
    const std::size_t available = Capture.Samples.size() - std::min(Capture.Read, Capture.Samples.size());
    const std::size_t count = std::min(out.size(), available);
    const float target = Controls.InputTrim.load(std::memory_order_relaxed);
    float peak = 0;
    for (std::size_t k = 0; k < count; ++k) {
        Trim += TrimSmoothing * (target - Trim);
        float value = Trim * Capture.Samples[Capture.Read + k];
        // A broken capture driver must not leave the filter's state non-finite.
        if (!std::isfinite(value))
            value = 0;
        out[k] = value;
        peak = std::max(peak, std::abs(value));
    }
    std::fill(out.begin() + std::ptrdiff_t(count), out.end(), 0.0f);
    Capture.Read += count;
    HoldPeak(Controls.InputPeak, peak);
    if (peak >= 1.0f)
        Controls.InputClipped.store(true, std::memory_order_relaxed);
}

} // namespace cva
