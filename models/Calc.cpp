#include "models/Calc.h"

#include <cmath>

#include "numerics/Error.h"

namespace cva {

double GridFrequency(int step)
{
    // Computed once: every sweep, plot and table reads the same frequencies.
    static const std::array<double, GridPoints> frequencies = [] {
        std::array<double, GridPoints> table{};
        for (int k = 0; k < GridPoints; ++k)
            table[k] = std::pow(10.0, (GridFirstStep + k) / 128.0);
        return table;
    }();
    return frequencies[step - GridFirstStep];
}

bool TTraceStore::Snapshot(const std::string &label)
{
    if (IsFull())
        return false;
    for (int j = TraceCount; j >= 1; --j) {
        Traces[j] = Traces[j - 1];
        TraceColours[j] = TraceColours[j - 1];
        Quantities[j] = Quantities[j - 1];
        Labels[j] = Labels[j - 1];
        Hidden[j] = Hidden[j - 1];
    }
    Labels[1] = label;
    Hidden[1] = false;
    ++TraceCount;
    return true;
}

void FillGap(TTrace &trace, int from, int to)
{
    const int gap = to - from;
    const double p = trace[from];
    const double d = trace[to] - p;
    for (int i = 1; i < gap; ++i)
        trace[from + i] = p + (d / gap) * i;
}

void TTraceStore::Remove(int slot)
{
    if (slot < 1 || slot >= TraceCount)
        return;
    for (int j = slot; j + 1 < TraceCount; ++j) {
        Traces[j] = Traces[j + 1];
        TraceColours[j] = TraceColours[j + 1];
        Quantities[j] = Quantities[j + 1];
        Labels[j] = Labels[j + 1];
        Hidden[j] = Hidden[j + 1];
    }
    --TraceCount;
}

void CalcTrace(TResponseFunction response, const TCalcParms &parms, int step, TTrace &live)
{
    TTrace scratch;
    ForEachSweepPoint(step, [&](int k, int previous) {
        scratch[k] = response(parms, GridFrequency(GridFirstStep + k));
        if (!std::isfinite(scratch[k]))
            throw CorvantaError("Invalid floating point operation");
        if (previous >= 0)
            FillGap(scratch, previous, k);
    });
    live = scratch;
}

double AngularFrequency(double frequency)
{
    constexpr Extended TwoPi = 6.283185307179586477L;
    return static_cast<double>(TwoPi * frequency);
}

TComplex CapacitorImpedance(double omega, double capacitance)
{
    TComplex minusJ;
    CSet(minusJ, 0.0, -1.0);
    TComplex omegaC;
    CSetReal(omegaC, static_cast<double>(Extended(omega) * capacitance));
    TComplex z;
    CDiv(minusJ, omegaC, z);
    return z;
}

TComplex InductorImpedance(double omega, double inductance)
{
    TComplex j;
    CSet(j, 0.0, 1.0);
    TComplex omegaL;
    CSetReal(omegaL, static_cast<double>(Extended(omega) * inductance));
    TComplex z;
    CMul(j, omegaL, z);
    return z;
}

double GainDB(double magnitude)
{
    return 20.0 * std::log10(magnitude);
}

} // namespace cva
