#pragma once

// The player's own instrument as a source: each audio cycle hands the
// captured block to a TCaptureBlock, and the live input plays it on, after
// its trim, while metering it. It adds no delay: what is captured in a
// cycle is played in the same cycle.

#include <span>

#include "audio/ListenChain.h"
#include "audio/SignalSource.h"

namespace cva {

// The samples captured in the running cycle, read in order by the chain.
struct TCaptureBlock {
    std::span<const float> Samples;
    std::size_t Read = 0;
};

class TLiveInput final : public TSignalSource {
public:
    TLiveInput(TCaptureBlock &capture, TListenControls &controls) : Capture(capture), Controls(controls) {}
    void Render(std::span<float> out) override;
    void Rewind() override {}

private:
    TCaptureBlock &Capture;
    TListenControls &Controls;
    float Trim = 1; // follows the control smoothly, so turning it is no click
};

} // namespace cva
