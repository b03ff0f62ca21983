#pragma once

// Converts a recording from one sample rate to another by band-limited
// interpolation (a windowed sinc), before it is played: the audio thread
// never resamples.

#include <cstdint>
#include <span>
#include <vector>

namespace cva {

// Block by block, so that a long recording need not be held at its own rate:
// the output is the same as Resample's of the whole input.
class TResampler {
public:
    TResampler(double inputRate, double outputRate);

    // Appends to 'output' what the input so far determines.
    void Push(std::span<const float> input, std::vector<float> &output);
    // After the last input: appends the rest of the output.
    void Finish(std::vector<float> &output);

    // How many samples the output of 'inputLength' samples will have.
    std::uint64_t OutputLength(std::uint64_t inputLength) const;

private:
    float OutputAt(std::uint64_t n, long long lastInput) const;

    double Step;      // input samples per output sample
    double Cutoff;    // of the lowpass, as a share of the input's Nyquist frequency
    double HalfWidth; // input samples on each side of an output sample
    bool Same;        // the rates are equal: the input passes as it is
    std::vector<float> Window; // the input from WindowStart on
    std::uint64_t WindowStart = 0;
    std::uint64_t Received = 0;
    std::uint64_t Next = 0; // the next output sample
};

std::vector<float> Resample(const std::vector<float> &input, double inputRate, double outputRate);

} // namespace cva
