#include "audio/PinkNoise.h"

#include <bit>

namespace cva {

namespace {

// The sum of 17 uniform values has an RMS near 2.4; this brings the noise to
// about -18 dBFS RMS, loud enough to hear and far from clipping after a
// tone stack, which only loses level.
constexpr float OutputScale = 0.05f;

} // namespace

TPinkNoise::TPinkNoise() { Rewind(); }

void TPinkNoise::Rewind()
{
    Noise = TWhiteNoise();
    RowSum = 0;
    for (float &row : RowValues) {
        row = Noise.Next();
        RowSum += row;
    }
    Counter = 0;
}

void TPinkNoise::Render(std::span<float> out)
{
    for (float &sample : out) {
        ++Counter;
        // The lowest set bit picks the one row that changes at this sample.
        const int row = std::countr_zero(Counter);
        if (row < Rows) {
            const float fresh = Noise.Next();
            RowSum += fresh - RowValues[row];
            RowValues[row] = fresh;
        }
        sample = (RowSum + Noise.Next()) * OutputScale;
    }
}

} // namespace cva
