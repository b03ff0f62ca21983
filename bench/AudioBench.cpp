// Cost of hearing the stack: the Bench topology's filter at 48 kHz per
// sample (the budget is half a percent of one core, about 104 ns), the whole
// listening chain per sample, designing a new filter after a slider move,
// and one 64-frame cycle of the live input as a JACK server runs it, as a
// share of the cycle's 1.33 ms (the budget is 2 %), steady and while every
// cycle brings a new filter and so a crossfade.

#include <benchmark/benchmark.h>

#include <vector>

#include "audio/ListenChain.h"
#include "audio/ListenProcessor.h"
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

void BM_LiveCycleOf64Frames(benchmark::State &state)
{
    constexpr std::size_t Frames = 64;
    const bool changing = state.range(0) != 0;
    TListenControls controls;
    TListenProcessor processor(controls);
    processor.SetSource(processor.MakeLiveInput());
    processor.Play();
    TCircuit circuit;
    circuit.Active = PageNamed("Bench");
    std::vector<TStackFilterCoefficients> filters;
    for (const int bass : {0, 100}) {
        circuit.SetPosition(BuiltInControl::Bass, bass);
        filters.push_back(DesignStackFilter(BuildNetlist(circuit), Rate));
    }
    controls.Filter.Publish(filters[0]);
    std::vector<float> input(Frames), output(Frames);
    TPinkNoise().Render(input);
    std::size_t cycle = 0;
    for (auto _ : state) {
        if (changing)
            controls.Filter.Publish(filters[++cycle % 2]);
        processor.Process(input, output);
        benchmark::DoNotOptimize(output.data());
    }
    // Seconds of computing per second of audio: the cycle's share of its own time.
    state.counters["cycle_share"] = benchmark::Counter(double(state.iterations() * Frames) / Rate,
                                                       benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

} // namespace

BENCHMARK(BM_LiveCycleOf64Frames)->ArgName("new_filter_every_cycle")->Arg(0)->Arg(1);
BENCHMARK(BM_BenchFilterPerSample);
BENCHMARK(BM_ListenChainPerSample);
BENCHMARK(BM_DesignBenchFilter)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
