#include "models/NodalEngine.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <numbers>

#include "numerics/BandOrdering.h"
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
    NumberAlongTheCircuit();
    CollectStamps();
}

// The nodes' numbers follow the netlist's order of parts; renumbered along
// the circuit, the matrix keeps its elements in a narrow band, to which
// factoring and solving keep.
void TNodalEngine::NumberAlongTheCircuit()
{
    std::array<TCoupling, MaxNetBranches + 1> couplings;
    int count = 0;
    for (int i = 0; i < Net.BranchCount; ++i)
        if (const TNetBranch &b = Net.Branches[i]; !IsShort(b))
            couplings[count++] = {Unknown[b.From], Unknown[b.To]};
    if (SourceRow >= 0)
        couplings[count++] = {Unknown[Net.Input], SourceRow};
    const std::span<const TCoupling> all(couplings.data(), std::size_t(count));
    const TUnknownOrder order = BandOrdering(Order, all);
    Band = BandOf(order, all);
    for (int &unknown : Unknown)
        if (unknown >= 0)
            unknown = order[unknown];
    if (SourceRow >= 0)
        SourceRow = order[SourceRow];
}

void TNodalEngine::CollectStamps()
{
    std::array<std::array<int, MaxLUOrder>, MaxLUOrder> cellOf;
    for (int r = 0; r < Order; ++r)
        std::fill_n(cellOf[r].begin(), Order, -1);
    const auto add = [&](int row, int column, TCx constant, TCx perOmega) {
        int &cell = cellOf[row][column];
        if (cell < 0) {
            cell = CellCount++;
            Cells[cell] = {row, column, 0.0, 0.0};
        }
        Cells[cell].Constant += constant;
        Cells[cell].PerOmega += perOmega;
    };
    for (int i = 0; i < Net.BranchCount; ++i) {
        const TNetBranch &b = Net.Branches[i];
        const int p = Unknown[b.From];
        const int q = Unknown[b.To];
        if (IsShort(b) || p == q)
            continue;
        const TElementTraits &traits = Traits(b.Kind);
        TCx constant = 0.0, perOmega = 0.0;
        if (!traits.AdmittanceSlope)
            constant = Admittance(b, 0);
        else if (traits.StateStamp == TStateStamp::Capacitance)
            perOmega = traits.AdmittanceSlope(b.Value, b.SeriesResistance, 0);
        else {
            Restamped[RestampedCount++] = i;
            continue;
        }
        if (p >= 0)
            add(p, p, constant, perOmega);
        if (q >= 0)
            add(q, q, constant, perOmega);
        if (p >= 0 && q >= 0) {
            add(p, q, -constant, -perOmega);
            add(q, p, -constant, -perOmega);
        }
    }
    const int in = Unknown[Net.Input];
    if (in < 0)
        return;
    if (SourceRow < 0) {
        // Norton form of the source: 1 V behind its resistance.
        add(in, in, 1.0 / Net.SourceResistance, 0.0);
    } else {
        add(in, SourceRow, -1.0, 0.0);
        add(SourceRow, in, 1.0, 0.0);
    }
}

void TNodalEngine::Fail(const char *what, double frequency) const
{
    char hertz[32];
    std::snprintf(hertz, sizeof hertz, "%.6g", frequency);
    throw CorvantaError("Cannot solve circuit " + Net.Name + ": " + what + " at " + hertz + " Hz");
}

void TNodalEngine::Factor(double omega, double frequency)
{
    // Only the band is read while factoring and solving.
    const int width = Band.Lower + Band.Upper;
    for (int r = 0; r < Order; ++r) {
        Rhs[r] = 0.0;
        for (int c = std::max(0, r - Band.Lower); c <= std::min(Order - 1, r + width); ++c)
            LU.At(r, c) = 0.0;
    }
    for (int i = 0; i < CellCount; ++i) {
        const TStampCell &cell = Cells[i];
        LU.At(cell.Row, cell.Column) = cell.Constant + omega * cell.PerOmega;
    }
    for (int i = 0; i < RestampedCount; ++i) {
        const TNetBranch &b = Net.Branches[Restamped[i]];
        const int p = Unknown[b.From];
        const int q = Unknown[b.To];
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
    if (const int in = Unknown[Net.Input]; SourceRow < 0 && in >= 0)
        Rhs[in] = 1.0 / Net.SourceResistance;
    else if (SourceRow >= 0)
        Rhs[SourceRow] = 1.0;
    if (!LU.Factor(Order, Band))
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
