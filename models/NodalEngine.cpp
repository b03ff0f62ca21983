#include "models/NodalEngine.h"

#include <atomic>
#include <cmath>
#include <cstdio>
#include <numbers>

#include "numerics/Error.h"

namespace cva {

namespace {

TCx Admittance(const TNetBranch &b, double omega)
{
    return Traits(b.Kind).Admittance(b.Value, b.SeriesResistance, omega);
}

double Degrees(double radians) { return radians * (180.0 / std::numbers::pi); }

} // namespace

TNodalEngine::TNodalEngine(const TNetlist &netlist) : Net(netlist)
{
    CheckNetlist(Net);
    Order = JoinShorts(Net, Unknown);
    if (Net.SourceResistance == 0)
        SourceRow = Order++;
    if (Order > MaxLUOrder)
        throw CorvantaError("Cannot solve circuit " + Net.Name + ": too many nodes");
}

void TNodalEngine::Fail(const char *what, double frequency) const
{
    char hertz[32];
    std::snprintf(hertz, sizeof hertz, "%.6g", frequency);
    throw CorvantaError("Cannot solve circuit " + Net.Name + ": " + what + " at " + hertz + " Hz");
}

void TNodalEngine::Factor(double omega, double frequency)
{
    for (int r = 0; r < Order; ++r) {
        Rhs[r] = 0.0;
        for (int c = 0; c < Order; ++c)
            LU.At(r, c) = 0.0;
    }
    for (int i = 0; i < Net.BranchCount; ++i) {
        const TNetBranch &b = Net.Branches[i];
        if (IsShort(b))
            continue;
        const int p = Unknown[b.From];
        const int q = Unknown[b.To];
        if (p == q)
            continue;
        const TCx y = Admittance(b, omega);
        if (p >= 0)
            LU.At(p, p) += y;
        if (q >= 0)
            LU.At(q, q) += y;
        if (p >= 0 && q >= 0) {
            LU.At(p, q) -= y;
            LU.At(q, p) -= y;
        }
    }
    const int in = Unknown[Net.Input];
    if (SourceRow < 0) {
        // Norton form of the source: 1 V behind its resistance.
        const double g = 1.0 / Net.SourceResistance;
        if (in >= 0) {
            LU.At(in, in) += g;
            Rhs[in] = g;
        }
    } else {
        if (in >= 0) {
            LU.At(in, SourceRow) = -1.0;
            LU.At(SourceRow, in) = 1.0;
        }
        Rhs[SourceRow] = 1.0;
    }
    if (!LU.Factor(Order))
        Fail("the nodal matrix is singular", frequency);
    LU.Solve(Rhs, X);
}

TCx TNodalEngine::Voltage(int node) const
{
    const int k = Unknown[node];
    return k < 0 ? TCx(0.0, 0.0) : X[k];
}

TCx TNodalEngine::Output(double frequency)
{
    Factor(AngularFrequency(frequency), frequency);
    const TCx out = Voltage(Net.Output);
    if (!std::isfinite(out.real()) || !std::isfinite(out.imag()))
        Fail("the output is not finite", frequency);
    return out;
}

TNodalPoint TNodalEngine::Point(double frequency)
{
    const double omega = AngularFrequency(frequency);
    const TCx out = Output(frequency);

    // Input impedance: the input voltage over the current the source delivers.
    const TCx vin = Voltage(Net.Input);
    const TCx current = SourceRow < 0 ? (1.0 - vin) / Net.SourceResistance : X[SourceRow];
    const TCx zin = vin / current;

    // d x / d omega = -A^-1 (dA/d omega) x, with the factors already at hand.
    std::array<TCx, MaxLUOrder> slope{};
    for (int i = 0; i < Net.BranchCount; ++i) {
        const TNetBranch &b = Net.Branches[i];
        const TAdmittance admittanceSlope = Traits(b.Kind).AdmittanceSlope;
        if (IsShort(b) || !admittanceSlope)
            continue;
        const int p = Unknown[b.From];
        const int q = Unknown[b.To];
        if (p == q)
            continue;
        const TCx flow = admittanceSlope(b.Value, b.SeriesResistance, omega) * (Voltage(b.From) - Voltage(b.To));
        if (p >= 0)
            slope[p] -= flow;
        if (q >= 0)
            slope[q] += flow;
    }
    LU.Solve(slope, slope);
    const int k = Unknown[Net.Output];
    const TCx outSlope = k < 0 ? TCx(0.0, 0.0) : slope[k];
    const double delay = -(outSlope / out).imag();

    if (!std::isfinite(delay) || !std::isfinite(zin.real()) || !std::isfinite(zin.imag()))
        Fail("the group delay or input impedance is not finite", frequency);
    return {out, delay, zin};
}

namespace {

std::atomic<long> SweepsMade{0};

} // namespace

long EngineSweepCount()
{
    return SweepsMade.load(std::memory_order_relaxed);
}

void CalcCurves(const TNetlist &netlist, int step, TResponseCurves &curves)
{
    SweepsMade.fetch_add(1, std::memory_order_relaxed);
    TNodalEngine engine(netlist);
    TResponseCurves scratch;
    TTrace *const all[] = {&scratch.GainDB, &scratch.PhaseDeg, &scratch.GroupDelayS, &scratch.ImpedanceOhm,
                           &scratch.ImpedancePhaseDeg};
    ForEachSweepPoint(step, [&](int k, int previous) {
        const TNodalPoint p = engine.Point(GridFrequency(GridFirstStep + k));
        scratch.GainDB[k] = GainDB(std::abs(p.Output));
        if (!std::isfinite(scratch.GainDB[k]))
            throw CorvantaError("Cannot solve circuit " + netlist.Name + ": the output is zero");
        double phase = Degrees(std::arg(p.Output));
        if (previous >= 0)
            phase -= 360.0 * std::round((phase - scratch.PhaseDeg[previous]) / 360.0);
        scratch.PhaseDeg[k] = phase;
        scratch.GroupDelayS[k] = p.GroupDelay;
        scratch.ImpedanceOhm[k] = std::abs(p.InputImpedance);
        scratch.ImpedancePhaseDeg[k] = Degrees(std::arg(p.InputImpedance));
        if (previous >= 0)
            for (TTrace *trace : all)
                FillGap(*trace, previous, k);
    });
    curves = scratch;
}

void CalcGainCurve(const TNetlist &netlist, int step, TTrace &gain)
{
    SweepsMade.fetch_add(1, std::memory_order_relaxed);
    TNodalEngine engine(netlist);
    TTrace scratch;
    ForEachSweepPoint(step, [&](int k, int previous) {
        scratch[k] = GainDB(std::abs(engine.Output(GridFrequency(GridFirstStep + k))));
        if (!std::isfinite(scratch[k]))
            throw CorvantaError("Cannot solve circuit " + netlist.Name + ": the output is zero");
        if (previous >= 0)
            FillGap(scratch, previous, k);
    });
    gain = scratch;
}

} // namespace cva
