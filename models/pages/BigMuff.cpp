// One pot blending a high-pass path (C1 then R2 to ground) with a low-pass
// path (R1 then C2 to ground); its wiper drives the load R4.

#include "components/Symbol.h"
#include "models/CircuitDef.h"
#include "numerics/Cramer.h"

namespace cva {

namespace {

using K = TElementKind;
using S = TSlotSource;
using P = TCalcParms;

double BigMuffResponse(const TCalcParms &p, double frequency)
{
    const double omega = AngularFrequency(frequency);
    const TComplex zc1 = CapacitorImpedance(omega, p.C1);
    const TComplex zc2 = CapacitorImpedance(omega, p.C2);

    TComplexMatrix A;
    A[0][0] = zc2 + Real(p.RG) + Real(p.R1);
    A[0][1] = Real(-p.R1);
    A[0][2] = -zc2;
    A[0][3] = Real(0);
    A[1][1] = zc1 + Real(p.R1) + Real(p.R3a) + Real(p.R3b);
    A[1][2] = Real(-p.R3a);
    A[1][3] = Real(-p.R3b);
    A[2][2] = zc2 + Real(p.R3a) + Real(p.R4);
    A[2][3] = Real(-p.R4);
    A[3][3] = Real(p.R3b) + Real(p.R4) + Real(p.R2);
    MirrorUpperTriangle(4, A);

    TComplexVector b;
    CSetReal(b[0], 1.0);
    TComplexVector I;
    CramerSolve(4, A, b, I);
    return GainDB(CAbs(I[2] - I[3]) * p.R4);
}

} // namespace

TCircuitDef BigMuffCircuit()
{
    TCircuitDef page;
    page.TabCaption = "Big muff";
    page.Letter = 'P';
    page.PrintedName = "Big Muff";
    page.Drawing = "bigmuff";
    page.PageOrder = 7;
    page.Components = {
        {"PG", K::Generator, 1000, 0},    {"PR1", K::Resistor, 39000, 0},     {"PR2", K::Resistor, 22000, 0},
        {"PR3", K::Pot, 100000, PotLinear}, {"PR4", K::Resistor, 1000000, 0}, {"PC1", K::Capacitor, 4e-9, 0},
        {"PC2", K::Capacitor, 1e-8, 0},
    };
    page.Controls = {{"Bass", {}}, {"Mid", {"PR3"}}, {"Treble", {}}};
    page.Loop = TLoopModel{BigMuffResponse, {
        {&P::R1, "PR1"},
        {&P::R2, "PR2"},
        {&P::R3a, "PR3", S::Part},
        {&P::R3b, "PR3", S::Rest},
        {&P::R4, "PR4"},
        {&P::C1, "PC1"},
        {&P::C2, "PC2"},
        {&P::RG, "PG"},
    }};
    // A input, U the high-pass junction, L the low-pass junction, W the wiper
    // (output).
    page.Branches = {
        {K::Capacitor, "PC1", "A", "U"},  {K::Resistor, "PR1", "A", "L"},
        {K::Capacitor, "PC2", "L", "0"},  {K::Resistor, "PR2", "U", "0"},
        {K::Pot, "PR3", "U", "L", "W"}, {K::Resistor, "PR4", "W", "0"},
    };
    page.InputNode = "A";
    page.OutputNode = "W";
    return page;
}

} // namespace cva
