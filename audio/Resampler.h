#pragma once

// Converts a whole recording from one sample rate to another by band-limited
// interpolation (a windowed sinc), before it is played: the audio thread
// never resamples.

#include <vector>

namespace cva {

std::vector<float> Resample(const std::vector<float> &input, double inputRate, double outputRate);

} // namespace cva
