// Cost of a tolerance band: 1000 runs of the Bench page at High, every part
// at its usual tolerance, and the sensitivity table of the same page. The
// whole process against ngspice's own loop is tolerance-vs-ngspice.sh.

#include <benchmark/benchmark.h>

#include "document/Tolerance.h"

using namespace cva;

namespace {

TCircuit BenchPageAtHigh()
{
    TCircuit circuit;
    circuit.Active = *circuit.Pages().FromCaption("Bench");
    circuit.ResolutionStep = ResolutionHigh;
    return circuit;
}

void BM_ToleranceBand(benchmark::State &state)
{
    const TCircuit circuit = BenchPageAtHigh();
    const std::vector<TPartTolerance> parts = DefaultTolerances(circuit);
    for (auto _ : state)
        benchmark::DoNotOptimize(CalcToleranceBand(circuit, parts, 1000, DefaultToleranceSeed));
    state.SetLabel("Bench, High, 1000 runs");
}

void BM_Sensitivity(benchmark::State &state)
{
    const TCircuit circuit = BenchPageAtHigh();
    for (auto _ : state)
        benchmark::DoNotOptimize(CalcSensitivity(circuit));
    state.SetLabel("Bench, High, every part");
}

} // namespace

BENCHMARK(BM_ToleranceBand)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Sensitivity)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
