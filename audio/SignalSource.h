#pragma once

// What the listening chain plays before the tone stack: mono samples in the
// range -1..1 at the rate the source was made for.

#include <span>

namespace cva {

class TSignalSource {
public:
    virtual ~TSignalSource() = default;
    // Fills 'out' completely, with silence after the end of a source that
    // does not loop. Called on the audio thread: no allocation, no lock.
    virtual void Render(std::span<float> out) = 0;
    // True once a source that does not loop has played to its end.
    virtual bool Finished() const { return false; }
    // Starts again from the beginning.
    virtual void Rewind() = 0;
};

} // namespace cva
