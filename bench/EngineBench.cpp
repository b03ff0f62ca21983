// Cost of the circuit engine: one solve, the five curves of a page, and the
// response maps over one slider (101 curves) and two sliders (101 x 101).
// Targets on the Bench page: one slider at High within 15 ms, two sliders at
// Medium within 1 s.

#include <benchmark/benchmark.h>

#include "document/Netlist.h"
#include "document/ResponseMap.h"

using namespace cva;

namespace {

TCircuit BenchPage(int step)
{
    TCircuit circuit;
    circuit.Active = PageNamed("Bench");
    circuit.ResolutionStep = step;
    return circuit;
}

void BM_EngineSolve(benchmark::State &state)
{
    const TNetlist net = BuildNetlist(BenchPage(ResolutionHigh));
    TNodalEngine engine(net);
    const bool full = state.range(0) != 0;
    for (auto _ : state) {
        if (full)
            benchmark::DoNotOptimize(engine.Point(1000.0));
        else
            benchmark::DoNotOptimize(engine.Output(1000.0));
    }
    state.SetLabel(full ? "Bench, 1 kHz, gain, phase, delay and impedance" : "Bench, 1 kHz, output only");
}

void BM_EngineCurves(benchmark::State &state)
{
    const TCircuit circuit = BenchPage(ResolutionHigh);
    TResponseCurves curves;
    for (auto _ : state) {
        CalcEngineCurves(circuit, curves);
        benchmark::DoNotOptimize(curves.GainDB.data());
    }
    state.SetLabel("Bench, High, five curves");
}

void BM_MapOneSlider(benchmark::State &state)
{
    const TCircuit circuit = BenchPage(ResolutionHigh);
    for (auto _ : state)
        benchmark::DoNotOptimize(CalcResponseMap(circuit, BuiltInControl::Treble, ResolutionHigh).data());
    state.SetLabel("Bench, Treble 0..100 at High: 101 x 445 points");
}

void BM_MapTwoSliders(benchmark::State &state)
{
    const TCircuit circuit = BenchPage(ResolutionMedium);
    for (auto _ : state)
        benchmark::DoNotOptimize(CalcResponseMap(circuit, BuiltInControl::Bass, BuiltInControl::Treble, ResolutionMedium).data());
    state.SetLabel("Bench, Bass x Treble at Medium: 101 x 101 x 112 points");
}

} // namespace

BENCHMARK(BM_EngineSolve)->Arg(0)->Arg(1)->Unit(benchmark::kNanosecond);
BENCHMARK(BM_EngineCurves)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MapOneSlider)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MapTwoSliders)->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK_MAIN();
