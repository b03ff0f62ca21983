#pragma once

// Runs the tone stack's digital filter sample by sample. New coefficients
// take over through a short crossfade from the old filter to the new one,
// and the new one starts from the old one's state, so that a slider jump is
// heard as a change of tone and not as a click. Nothing here allocates.

#include <span>

#include "audio/StackFilterDesign.h"

namespace cva {

class TStackFilter {
public:
    // The crossfade lasts 'crossfadeSeconds' at the coefficients' rate.
    explicit TStackFilter(double crossfadeSeconds = 0.005) : CrossfadeSeconds(crossfadeSeconds) {}

    // Starts the crossfade to 'next'. A filter without coefficients passes
    // nothing until the first ones arrive, which it takes at once.
    void Update(const TStackFilterCoefficients &next);
    // While true a further Update would cut the running crossfade short:
    // callers keep new coefficients until it is over.
    bool Crossfading() const { return FadeLeft > 0; }
    const TStackFilterCoefficients &Coefficients() const { return Current.Coefficients; }
    // The ones given to the last Update, which a crossfade is heading for.
    const TStackFilterCoefficients &Latest() const { return Crossfading() ? Next.Coefficients : Current.Coefficients; }

    // Returns false when the output ran away: a sample that is not finite or
    // far beyond what a passive circuit gives for the input so far
    // (RunawayGain times its peak, or times full scale for a quieter input).
    // The block is then silent, and so is all that follows until Update.
    bool Process(std::span<const float> input, std::span<float> output);
    // Forgets the signal, as after a pause.
    void Reset();

    static constexpr double RunawayGain = 1000; // 60 dB

private:
    struct TRunning {
        TStackFilterCoefficients Coefficients;
        std::array<double, MaxFilterOrder> State{};
        double Step(double input);
    };

    double CrossfadeSeconds;
    bool HasCoefficients = false;
    TRunning Current;
    TRunning Next;
    int FadeLength = 0;
    int FadeLeft = 0;
    double InputPeak = 1; // full scale, or the loudest input since the last Reset
};

} // namespace cva
