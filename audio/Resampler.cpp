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

TResampler::TResampler(double inputRate, double outputRate)
    : Step(inputRate / outputRate),
      // Downsampling narrows the lowpass to the output's Nyquist frequency
      // and widens the kernel in the same proportion.
      Cutoff(CutoffShare * std::min(1.0, 1.0 / Step)), HalfWidth(HalfTaps / Cutoff), Same(inputRate == outputRate)
{
}

std::uint64_t TResampler::OutputLength(std::uint64_t inputLength) const
{
    if (Same || inputLength == 0)
        return inputLength;
    return static_cast<std::uint64_t>(std::floor(double(inputLength - 1) / Step)) + 1;
}

float TResampler::OutputAt(std::uint64_t n, long long lastInput) const
{
    const double centre = double(n) * Step;
    const long long first = std::max(0LL, static_cast<long long>(std::ceil(centre - HalfWidth)));
    const long long end = std::min(lastInput, static_cast<long long>(std::floor(centre + HalfWidth)));
    double sum = 0;
    for (long long k = first; k <= end; ++k) {
        const double distance = k - centre;
        sum += Window[static_cast<std::size_t>(k - static_cast<long long>(WindowStart))] * Cutoff *
               Sinc(Cutoff * distance) * Blackman(distance / HalfWidth);
    }
    return static_cast<float>(sum);
}

void TResampler::Push(std::span<const float> input, std::vector<float> &output)
{
    if (Same) {
        output.insert(output.end(), input.begin(), input.end());
        return;
    }
    Window.insert(Window.end(), input.begin(), input.end());
    Received += input.size();
    const auto last = static_cast<long long>(Received) - 1;
    // Only outputs whose whole kernel has arrived; the end waits for Finish.
    while (static_cast<long long>(std::floor(double(Next) * Step + HalfWidth)) <= last) {
        output.push_back(OutputAt(Next, last));
        ++Next;
    }
    const auto needed = static_cast<long long>(std::ceil(double(Next) * Step - HalfWidth));
    if (needed > static_cast<long long>(WindowStart)) {
        const auto drop = std::min<std::size_t>(Window.size(), static_cast<std::size_t>(needed - WindowStart));
        Window.erase(Window.begin(), Window.begin() + static_cast<std::ptrdiff_t>(drop));
        WindowStart += drop;
    }
}

void TResampler::Finish(std::vector<float> &output)
{
    if (Same)
        return;
    const auto last = static_cast<long long>(Received) - 1;
    for (const std::uint64_t length = OutputLength(Received); Next < length; ++Next)
        output.push_back(OutputAt(Next, last));
}

std::vector<float> Resample(const std::vector<float> &input, double inputRate, double outputRate)
{
    TResampler resampler(inputRate, outputRate);
    std::vector<float> output;
    output.reserve(static_cast<std::size_t>(resampler.OutputLength(input.size())));
    resampler.Push(input, output);
    resampler.Finish(output);
    return output;
}

} // namespace cva
