// A netlist's curve at High resolution: reading it into a page, then the
// live curve of a 30-node circuit from the engine (target: under 1 ms).

#include <benchmark/benchmark.h>

#include "document/NetlistPage.h"

using namespace cva;

namespace {

TCircuit ThirtyNodes()
{
    TCircuit circuit;
    AddNetlistPage(circuit, ReadNetlistFile(CORVANTA_BENCH_NETLIST));
    circuit.ResolutionStep = ResolutionHigh;
    return circuit;
}

void BM_NetlistCurveHigh(benchmark::State &state)
{
    const TCircuit circuit = ThirtyNodes();
    TTrace live{};
    for (auto _ : state) {
        Recalculate(circuit, live);
        benchmark::DoNotOptimize(live);
    }
    state.SetLabel("30 nodes, 445 points");
}

void BM_NetlistRead(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadNetlistFile(CORVANTA_BENCH_NETLIST));
}

} // namespace

BENCHMARK(BM_NetlistCurveHigh)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_NetlistRead)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
