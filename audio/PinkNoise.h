#pragma once

// Pink noise (equal power per octave), the usual signal for judging a
// frequency response by ear.

#include <array>

#include "audio/SignalSource.h"
#include "audio/WhiteNoise.h"

namespace cva {

class TPinkNoise final : public TSignalSource {
public:
    TPinkNoise();
    void Render(std::span<float> out) override;
    void Rewind() override;

private:
    // Voss-McCartney: row k is redrawn every 2^k samples; their sum falls by
    // 3 dB per octave over the rows' range.
    static constexpr int Rows = 16;
    std::array<float, Rows> RowValues{};
    float RowSum = 0;
    unsigned Counter = 0;
    TWhiteNoise Noise;
};

} // namespace cva
