// The cycle that runs on a low-latency server's real-time thread must never
// touch the heap: allocations are counted while cycles run through filter
// changes, source changes, stop and play, on every topology. A source that
// was replaced lives on until a cycle has finished without it.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "AllocationCount.h"
#include "audio/ListenProcessor.h"
#include "audio/PinkNoise.h"
#include "audio/PluckedGuitar.h"
#include "document/Circuit.h"
#include "document/Netlist.h"

using namespace cva;

namespace {

constexpr double Rate = 48000;

// Reports its end.
class TWatchedSource final : public TSignalSource {
public:
    explicit TWatchedSource(bool &alive) : Alive(alive) { Alive = true; }
    ~TWatchedSource() override { Alive = false; }
    void Render(std::span<float> out) override { std::fill(out.begin(), out.end(), 0.25f); }
    void Rewind() override {}

private:
    bool &Alive;
};

} // namespace

TEST(ListenProcessor, CyclesAllocateNothing)
{
    TListenControls controls;
    TListenProcessor processor(controls);
    std::vector<float> input(1024, 0.5f), output(1024);
    std::vector<TStackFilterCoefficients> filters;
    TCircuit circuit;
    for (int page = 0; page < circuit.Pages().Count(); ++page) {
        circuit.Active = page;
        filters.push_back(DesignStackFilter(BuildNetlist(circuit), Rate));
    }
    processor.Play();
    // Control-thread work between the counted cycles: a new source, a new filter, stop and play.
    for (int sourceKind = 0; sourceKind < 3; ++sourceKind) {
        if (sourceKind == 0)
            processor.SetSource(processor.MakeLiveInput());
        else if (sourceKind == 1)
            processor.SetSource(std::make_unique<TPinkNoise>());
        else
            processor.SetSource(std::make_unique<TPluckedGuitar>(Rate));
        for (const TStackFilterCoefficients &filter : filters) {
            controls.Filter.Publish(filter);
            processor.Stop();
            processor.Play();
            for (const std::size_t frames : {64, 128, 1024, 64}) {
                const long before = test::Allocations;
                for (int cycle = 0; cycle < 20; ++cycle)
                    processor.Process(std::span(input).first(frames), std::span(output).first(frames));
                EXPECT_EQ(test::Allocations - before, 0) << "source " << sourceKind << ", " << frames << " frames";
            }
            processor.FreeRetired();
        }
    }
}

TEST(ListenProcessor, ReplacedSourceLivesUntilACycleFinishedWithoutIt)
{
    TListenControls controls;
    TListenProcessor processor(controls);
    std::vector<float> input(64), output(64);
    bool firstAlive = false, secondAlive = false;
    processor.SetSource(std::make_unique<TWatchedSource>(firstAlive));
    processor.Process(input, output);
    processor.SetSource(std::make_unique<TWatchedSource>(secondAlive));
    // No cycle has finished since: one may still be playing the first.
    processor.FreeRetired();
    EXPECT_TRUE(firstAlive);
    processor.Process(input, output);
    processor.FreeRetired();
    EXPECT_FALSE(firstAlive);
    EXPECT_TRUE(secondAlive);
    processor.FreeAll();
    EXPECT_FALSE(secondAlive);
}

// The server's rate callback only sets the rate: the cycles that follow are
// silent rather than play the stack at the wrong frequencies, until the
// control thread's filter for the new rate arrives, all without allocating.
TEST(ListenProcessor, SilentAfterARateChangeUntilAFilterForTheNewRate)
{
    TListenControls controls;
    TListenProcessor processor(controls);
    const TNetlist netlist = BuildNetlist(TCircuit{});
    const TStackFilterCoefficients at48 = DesignStackFilter(netlist, 48000);
    const TStackFilterCoefficients at96 = DesignStackFilter(netlist, 96000);
    processor.SetSource(std::make_unique<TPinkNoise>());
    processor.SetRate(48000);
    controls.Filter.Publish(at48);
    processor.Play();
    std::vector<float> input(256), output(256);
    const auto loudest = [&] {
        processor.Process(input, output);
        float peak = 0;
        for (const float sample : output)
            peak = std::max(peak, std::abs(sample));
        return peak;
    };
    const long before = test::Allocations;
    EXPECT_GT(loudest(), 1e-3f);
    processor.SetRate(96000);
    EXPECT_EQ(loudest(), 0.0f);
    EXPECT_EQ(loudest(), 0.0f);
    controls.Filter.Publish(at96);
    EXPECT_GT(loudest(), 1e-3f);
    EXPECT_EQ(test::Allocations - before, 0);
}
