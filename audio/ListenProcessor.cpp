#include "audio/ListenProcessor.h"

#include <algorithm>

namespace cva {

namespace {

// The chain's permanent source: whichever one the hand-over holds now.
class THandedOverSource final : public TSignalSource {
public:
    explicit THandedOverSource(const TSourceHandOver &handOver) : HandOver(handOver) {}

    void Render(std::span<float> out) override
    {
        TSignalSource *source = HandOver.BeginCycle();
        if (source != Playing) {
            // A new source starts from its top.
            if (source)
                source->Rewind();
            Playing = source;
        }
        if (Playing)
            Playing->Render(out);
        else
            std::fill(out.begin(), out.end(), 0.0f);
    }
    bool Finished() const override { return Playing && Playing->Finished(); }
    void Rewind() override
    {
        // Read afresh: the one played last may have been replaced and freed
        // while nothing was played.
        Playing = HandOver.BeginCycle();
        if (Playing)
            Playing->Rewind();
    }

private:
    const TSourceHandOver &HandOver;
    TSignalSource *Playing = nullptr; // valid during the cycle that read it
};

} // namespace

TListenProcessor::TListenProcessor(TListenControls &controls) : Controls(controls), Chain(controls)
{
    Chain.SetSource(std::make_unique<THandedOverSource>(HandOver));
}

void TListenProcessor::Play()
{
    Frames.store(0);
    RestartPending.store(true);
    Playing.store(true);
}

void TListenProcessor::Process(std::span<const float> input, std::span<float> output)
{
    Capture = {input, 0};
    if (!Playing.load()) {
        std::fill(output.begin(), output.end(), 0.0f);
    } else {
        if (RestartPending.exchange(false))
            Chain.Restart();
        Chain.Render(output);
        const double rate = Rate.load(std::memory_order_relaxed);
        if (rate != 0 && Chain.FilterRate() != rate)
            std::fill(output.begin(), output.end(), 0.0f);
        Frames.fetch_add(static_cast<long long>(output.size()), std::memory_order_relaxed);
    }
    HandOver.EndCycle();
}

} // namespace cva
