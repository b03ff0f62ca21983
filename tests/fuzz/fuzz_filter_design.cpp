// The audio filter's design over random passive circuits: any number of
// nodes, resistors, capacitors and inductors (with their DC resistance) of
// any positive value, wired at random, driven through any source resistance,
// at any sample rate the programs accept.
//
// A circuit the design refuses is refused with a message naming it; a
// filter it returns is stable by its own check, and its response to an
// impulse followed by full-scale noise stays finite. (Not necessarily below
// full scale: a resonance of a passive circuit may raise the voltage.)

#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "audio/AudioFile.h"
#include "audio/StackFilter.h"
#include "audio/StackFilterDesign.h"
#include "numerics/Error.h"

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

// Values from a thousandth of a picofarad to a hundred megaohms, spread
// evenly in decades.
double PositiveValue(FuzzedDataProvider &input)
{
    return std::pow(10.0, input.ConsumeFloatingPointInRange(-15.0, 8.0));
}

cva::TNetlist RandomPassiveCircuit(FuzzedDataProvider &input)
{
    cva::TNetlist net;
    net.Name = "random";
    net.NodeCount = input.ConsumeIntegralInRange(1, 8);
    net.Input = input.ConsumeIntegralInRange(1, net.NodeCount);
    net.Output = input.ConsumeIntegralInRange(1, net.NodeCount);
    net.SourceResistance = input.ConsumeBool() ? 0.0 : PositiveValue(input);
    const int branches = input.ConsumeIntegralInRange(1, 16);
    for (int i = 0; i < branches; ++i) {
        cva::TNetBranch branch;
        branch.Kind = input.PickValueInArray(
            {cva::TElementKind::Resistor, cva::TElementKind::Capacitor, cva::TElementKind::Inductor});
        branch.From = input.ConsumeIntegralInRange(0, net.NodeCount);
        branch.To = input.ConsumeIntegralInRange(0, net.NodeCount);
        // Resistors may be shorts: the engine joins their ends.
        branch.Value = branch.Kind == cva::TElementKind::Resistor && input.ConsumeBool() ? 0.0 : PositiveValue(input);
        if (branch.Kind == cva::TElementKind::Inductor)
            branch.SeriesResistance = input.ConsumeBool() ? 0.0 : PositiveValue(input);
        branch.Component = "X";
        net.Add(branch);
    }
    return net;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const double rate = input.ConsumeFloatingPointInRange(cva::LowestSampleRate, cva::HighestSampleRate);
    const cva::TNetlist net = RandomPassiveCircuit(input);
    cva::TStackFilterCoefficients filter;
    try {
        filter = cva::DesignStackFilter(net, rate);
    } catch (const cva::CorvantaError &error) {
        Check(std::string(error.what()).find("random") != std::string::npos);
        return 0;
    }
    Check(cva::IsStable(filter));
    Check(std::isfinite(filter.AverageGain) && filter.AverageGain >= 0);
    cva::TStackFilter running;
    running.Update(filter);
    std::vector<float> signal(4096);
    signal[0] = 1;
    for (std::size_t n = 1; n < signal.size(); ++n)
        signal[n] = input.ConsumeBool() ? 1.0f : -1.0f;
    running.Process(signal, signal);
    for (const float sample : signal)
        Check(std::isfinite(sample));
    return 0;
}
