#pragma once

// The calculation parameter block, the frequency grid, the trace store and the
// sweep that fills the live trace from one topology's response function.

#include <array>
#include <cstdint>
#include <string>

#include "numerics/Complex.h"

namespace cva {

// Component values of the active topology in ohms, farads and henries.
// Potentiometer sections ("a"/"b") already carry their 1 ohm minimum.
struct TCalcParms {
    double R1 = 0, R1a = 0, R1b = 0;
    double R2 = 0, R2a = 0, R2b = 0;
    double R3 = 0, R3a = 0, R3b = 0;
    double R4 = 0, R4a = 0, R4b = 0;
    double R5 = 0;
    double R6a = 0, R6b = 0;
    double C1 = 0, C2 = 0, C3 = 0, C4 = 0;
    double L1 = 0, L2 = 0;
    double RL1 = 0, RL2 = 0;
    double RG = 0;
    double RW = 0; // a wire of the circuit's, where the loops need one
};

// Frequency in Hz in, gain in dB out. Reads only the block; no state.
using TResponseFunction = double (*)(const TCalcParms &parms, double frequency);

// 128 grid steps per decade; step s stands for 10^(s/128) Hz.
constexpr int GridFirstStep = 128;
constexpr int GridLastStep = 572;
constexpr int GridPoints = GridLastStep - GridFirstStep + 1;
constexpr int MaxTraces = 24;

// The frequency of a grid step from GridFirstStep to GridLastStep.
double GridFrequency(int step);

// Resolution steps of the sweep.
constexpr int ResolutionLow = 16;
constexpr int ResolutionMedium = 4;
constexpr int ResolutionHigh = 1;

using TColor = std::uint32_t; // 0x00BBGGRR
using TTrace = std::array<double, GridPoints>;

// What the circuit engine gives for a trace besides its gain, kept with the
// trace so that a snapshot shows in every view of the plot.
struct TTraceQuantities {
    TTrace PhaseDeg{};
    TTrace GroupDelayS{};
    TTrace ImpedanceOhm{};
};

// Slot 0 is the live trace; slots 1 .. Count-1 are snapshots, slot 1 the newest.
struct TTraceStore {
    std::array<TTrace, MaxTraces> Traces{};
    std::array<TColor, MaxTraces> TraceColours{};
    std::array<TTraceQuantities, MaxTraces> Quantities{};
    // What each trace shows, for the legend; slot 0 describes the live curve
    // and may be empty.
    std::array<std::string, MaxTraces> Labels{};
    // A hidden snapshot keeps its place but is not drawn.
    std::array<bool, MaxTraces> Hidden{};
    int TraceCount = 1;

    bool IsFull() const { return TraceCount == MaxTraces; }
    // Shifts every trace up one slot so the live trace is also snapshot 1,
    // shown and labelled `label`. Returns false, changing nothing, when the
    // store is full.
    bool Snapshot(const std::string &label = {});
    // Removes snapshot `slot` (1 .. TraceCount - 1); older ones move down.
    void Remove(int slot);
    bool Shown(int slot) const { return slot == 0 || !Hidden[slot]; }
    void Clear() { TraceCount = 1; }
};

// Visits the grid indices (0 .. GridPoints-1) a sweep at 'step' evaluates:
// every step-th from the first, and always the last. 'visit' gets the index
// and the one visited before it (-1 for the first).
template <class Visit> void ForEachSweepPoint(int step, Visit visit)
{
    if (step < 1)
        step = 1;
    int previous = -1;
    int k = 0;
    for (; k < GridPoints; k += step) {
        visit(k, previous);
        previous = k;
    }
    if (previous != GridPoints - 1)
        visit(GridPoints - 1, previous);
}

// Joins trace[from] and trace[to] by a straight line through the points between.
void FillGap(TTrace &trace, int from, int to);

// Sweeps the response over the grid at the given step into trace 0, joining
// evaluated points by straight lines in dB. The last grid step is always
// evaluated. The trace is committed only when every point is finite;
// otherwise "Invalid floating point operation" is raised and trace 0 keeps
// its old values.
void CalcTrace(TResponseFunction response, const TCalcParms &parms, int step, TTrace &live);

// Shared element impedances at angular frequency omega.
double AngularFrequency(double frequency);
TComplex CapacitorImpedance(double omega, double capacitance);
TComplex InductorImpedance(double omega, double inductance);
double GainDB(double magnitude);

} // namespace cva
