#pragma once

// The user's own recording as a source, already mono and at the device's rate.

#include <vector>

#include "audio/SignalSource.h"

namespace cva {

class TRecordingSource final : public TSignalSource {
public:
    explicit TRecordingSource(std::vector<float> samples) : Samples(std::move(samples)) {}
    void Render(std::span<float> out) override;
    bool Finished() const override { return Position == Samples.size(); }
    void Rewind() override { Position = 0; }

private:
    std::vector<float> Samples;
    std::size_t Position = 0;
};

} // namespace cva
