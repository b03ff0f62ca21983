// Cost of hearing the stack: the Bench topology's filter at 48 kHz per
// sample (the budget is half a percent of one core, about 104 ns), the whole
// listening chain per sample, and designing a new filter after a slider move.

#include <benchmark/benchmark.h>

#include <vector>

#include "audio/ListenChain.h"
#include "audio/PinkNoise.h"
#include "audio/StackFilter.h"
#include "document/Circuit.h"
#include "document/Netlist.h"

using namespace cva;

namespace {

constexpr double Rate = 48000;
constexpr std::size_t Block = 256;

TNetlist BenchNetlist()
{
    TCircuit circuit;
    circuit.Active = PageNamed("Bench");
    return BuildNetlist(circuit);
}

void ReportPerSample(benchmark::State &state)
{
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * Block));
    state.counters["ns_per_sample"] = benchmark::Counter(
        double(state.iterations() * Block), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    // Seconds of computing per second of audio: the share of one core (5m is the budget).
    state.counters["core_share"] = benchmark::Counter(double(state.iterations() * Block) / Rate,
                                                      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_BenchFilterPerSample(benchmark::State &state)
{
    TStackFilter filter;
    filter.Update(DesignStackFilter(BenchNetlist(), Rate));
    std::vector<float> input(Block);
    TPinkNoise().Render(input);
    std::vector<float> output(Block);
    for (auto _ : state) {
        filter.Process(input, output);
        benchmark::DoNotOptimize(output.data());
    }
    ReportPerSample(state);
}

void BM_ListenChainPerSample(benchmark::State &state)
{
    TListenControls controls;
    TListenChain chain(controls);
    chain.SetSource(std::make_unique<TPinkNoise>());
    controls.Filter.Publish(DesignStackFilter(BenchNetlist(), Rate));
    std::vector<float> output(Block);
    for (auto _ : state) {
        chain.Render(output);
        benchmark::DoNotOptimize(output.data());
    }
    ReportPerSample(state);
}

void BM_DesignBenchFilter(benchmark::State &state)
{
    const TNetlist netlist = BenchNetlist();
    for (auto _ : state)
        benchmark::DoNotOptimize(DesignStackFilter(netlist, Rate));
}

} // namespace

BENCHMARK(BM_BenchFilterPerSample);
BENCHMARK(BM_ListenChainPerSample);
BENCHMARK(BM_DesignBenchFilter)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
