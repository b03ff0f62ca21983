#include "audio/Resampler.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace cva {

namespace {

// Zero crossings of the sinc on each side of an output sample: enough to keep
// the passband flat to well above 16 kHz at the usual rates.
constexpr int HalfTaps = 32;
// A little below the lower Nyquist frequency, so that the transition band of
// the interpolator does not fold back.
constexpr double CutoffShare = 0.95;

double Blackman(double x) // x in -1..1
{
    return 0.42 + 0.5 * std::cos(std::numbers::pi * x) + 0.08 * std::cos(2 * std::numbers::pi * x);
}

double Sinc(double x) { return x == 0 ? 1.0 : std::sin(std::numbers::pi * x) / (std::numbers::pi * x); }

} // namespace

std::vector<float> Resample(const std::vector<float> &input, double inputRate, double outputRate)
{
    if (inputRate == outputRate || input.empty())
        return input;
    const double step = inputRate / outputRate; // input samples per output sample
    // Downsampling narrows the lowpass to the output's Nyquist frequency and
    // widens the kernel in the same proportion.
    const double cutoff = CutoffShare * std::min(1.0, 1.0 / step);
    const double halfWidth = HalfTaps / cutoff;
    const auto outputLength = static_cast<std::size_t>(std::floor((input.size() - 1) / step)) + 1;
    std::vector<float> output(outputLength);
    const auto last = static_cast<long long>(input.size()) - 1;
    for (std::size_t n = 0; n < outputLength; ++n) {
        const double centre = n * step;
        const long long first = std::max(0LL, static_cast<long long>(std::ceil(centre - halfWidth)));
        const long long end = std::min(last, static_cast<long long>(std::floor(centre + halfWidth)));
        double sum = 0;
        for (long long k = first; k <= end; ++k) {
            const double distance = k - centre;
            sum += input[k] * cutoff * Sinc(cutoff * distance) * Blackman(distance / halfWidth);
        }
        output[n] = static_cast<float>(sum);
    }
    return output;
}

} // namespace cva
