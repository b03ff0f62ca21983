#include "audio/StackFilter.h"

#include <algorithm>
#include <cmath>

namespace cva {

double TStackFilter::TRunning::Step(double input)
{
    const TStackFilterCoefficients &f = Coefficients;
    double output = f.D * input;
    for (int i = 0; i < f.Order; ++i)
        output += f.C[i] * State[i];
    std::array<double, MaxFilterOrder> next{};
    for (int i = 0; i < f.Order; ++i) {
        double sum = f.B[i] * input;
        for (int j = 0; j < f.Order; ++j)
            sum += f.A[i][j] * State[j];
        next[i] = sum;
    }
    State = next;
    return output;
}

void TStackFilter::Update(const TStackFilterCoefficients &next)
{
    if (!HasCoefficients) {
        Current.Coefficients = next;
        Current.State = {};
        HasCoefficients = true;
        return;
    }
    Next.Coefficients = next;
    // The states are the charges and fluxes of the same capacitors and
    // inductors as long as the circuit keeps its shape.
    if (next.Order == Current.Coefficients.Order)
        Next.State = Current.State;
    else
        Next.State = {};
    FadeLength = std::max(1, static_cast<int>(std::lround(CrossfadeSeconds * next.SampleRate)));
    FadeLeft = FadeLength;
}

bool TStackFilter::Process(std::span<const float> input, std::span<float> output)
{
    bool ranAway = false;
    for (std::size_t k = 0; k < input.size(); ++k) {
        if (!HasCoefficients) {
            output[k] = 0;
            continue;
        }
        InputPeak = std::max(InputPeak, double(std::abs(input[k])));
        double value = Current.Step(input[k]);
        if (FadeLeft > 0) {
            const double share = 1.0 - double(FadeLeft) / FadeLength;
            value += share * (Next.Step(input[k]) - value);
            if (--FadeLeft == 0)
                std::swap(Current, Next);
        }
        // Also catches a value that is not finite, which fails the comparison.
        if (!(std::abs(value) <= RunawayGain * InputPeak))
            ranAway = true;
        output[k] = static_cast<float>(value);
    }
    if (!std::all_of(Current.State.begin(), Current.State.end(), [](double s) { return std::isfinite(s); }))
        ranAway = true;
    // Such a filter would run away again: silence until the next one, which
    // takes over at once instead of fading in from it.
    if (ranAway) {
        Reset();
        HasCoefficients = false;
        std::fill(output.begin(), output.end(), 0.0f);
    }
    return !ranAway;
}

void TStackFilter::Reset()
{
    InputPeak = 1;
    Current.State = {};
    Next.State = {};
    if (FadeLeft > 0) {
        std::swap(Current, Next);
        FadeLeft = 0;
    }
}

} // namespace cva
