// Cost of one response evaluation and of a whole sweep per topology at each
// resolution step, with the default circuits and sliders at 50.

#include <benchmark/benchmark.h>

#include "document/Circuit.h"
#include "models/CircuitDef.h"

using namespace cva;

namespace {

TCircuit CircuitFor(int topology)
{
    TCircuit circuit;
    circuit.Active = topology;
    return circuit;
}

void BM_Sweep(benchmark::State &state)
{
    const TCircuit circuit = CircuitFor(static_cast<int>(state.range(0)));
    const TCalcParms parms = SetCalcParms(circuit);
    const int step = static_cast<int>(state.range(1));
    TTrace live{};
    for (auto _ : state) {
        circuit.ActiveInfo().Sweep(parms, step, live);
        benchmark::DoNotOptimize(live.data());
    }
    state.SetLabel(std::string(circuit.ActiveInfo().TabCaption) + ", step " + std::to_string(step));
}

void BM_Evaluation(benchmark::State &state)
{
    const TCircuit circuit = CircuitFor(static_cast<int>(state.range(0)));
    const TCalcParms parms = SetCalcParms(circuit);
    const TResponseFunction response = circuit.ActiveInfo().Loop->Response;
    for (auto _ : state)
        benchmark::DoNotOptimize(response(parms, 1000.0));
    state.SetLabel(std::string(circuit.ActiveInfo().TabCaption) + ", 1 kHz");
}

void AllTopologiesAndSteps(benchmark::internal::Benchmark *bench)
{
    for (int topology = 0; topology < TCatalogue().Count(); ++topology)
        for (int step : {ResolutionHigh, ResolutionMedium, ResolutionLow})
            bench->Args({topology, step});
}

} // namespace

BENCHMARK(BM_Sweep)->Apply(AllTopologiesAndSteps)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Evaluation)->DenseRange(0, TCatalogue().Count() - 1)->Unit(benchmark::kNanosecond);

BENCHMARK_MAIN();
