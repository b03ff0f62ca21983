// Separate bass and treble networks meeting at the output. Each bass pot
// section has a capacitor across it; R4 joins the two wipers.

#include "components/Symbol.h"
#include "models/CircuitDef.h"
#include "numerics/Cramer.h"

namespace cva {

namespace {

using K = TElementKind;
using S = TSlotSource;
using P = TCalcParms;

double JamesResponse(const TCalcParms &p, double frequency)
{
    const double omega = AngularFrequency(frequency);
    const TComplex zc1 = CapacitorImpedance(omega, p.C1);
    const TComplex zc2 = CapacitorImpedance(omega, p.C2);
    const TComplex zc3 = CapacitorImpedance(omega, p.C3);
    const TComplex zc4 = CapacitorImpedance(omega, p.C4);

    const TComplex upperBass = Par(Real(p.R2a), zc1);
    const TComplex lowerBass = Par(Real(p.R2b), zc2);
    const TComplex output = Par(Real(p.R6b) + zc4, Real(p.R5));

    TComplexMatrix A;
    A[0][0] = Real(p.RG) + Real(p.R1) + Real(p.R3) + upperBass + lowerBass;
    A[0][1] = -(Real(p.R1) + upperBass);
    A[0][2] = -(Real(p.R3) + lowerBass);
    A[1][1] = Real(p.R1) + Real(p.R4) + Real(p.R6a) + zc3 + upperBass;
    A[1][2] = Real(-p.R4);
    A[2][2] = Real(p.R3) + Real(p.R4) + lowerBass + output;
    MirrorUpperTriangle(3, A);

    TComplexVector b;
    CSetReal(b[0], 1.0);
    TComplexVector I;
    CramerSolve(3, A, b, I);
    return GainDB(CAbs(output) * CAbs(I[2]));
}

} // namespace

TCircuitDef JamesCircuit()
{
    TCircuitDef page;
    page.TabCaption = "James";
    page.Letter = 'B';
    page.PrintedName = "James";
    page.Drawing = "james";
    page.PageOrder = 4;
    page.Components = {
        {"BG", K::Generator, 38000, 0},    {"BR1", K::Resistor, 100000, 0},  {"BR2", K::Pot, 1000000, PotLogB},
        {"BR3", K::Resistor, 10000, 0},    {"BR4", K::Resistor, 180000, 0},  {"BR5", K::Resistor, 1000000, 0},
        {"BR6", K::Pot, 470000, PotLogB},  {"BC1", K::Capacitor, 4.7e-10, 0}, {"BC2", K::Capacitor, 4.7e-9, 0},
        {"BC3", K::Capacitor, 3.3e-10, 0}, {"BC4", K::Capacitor, 3.3e-9, 0},
    };
    page.Controls = {{"Bass", {"BR2"}}, {"Mid", {}}, {"Treble", {"BR6"}}};
    page.Loop = TLoopModel{JamesResponse, {
        {&P::R1, "BR1"},
        {&P::R2a, "BR2", S::Rest},
        {&P::R2b, "BR2", S::Part},
        {&P::R3, "BR3"},
        {&P::R4, "BR4"},
        {&P::R5, "BR5"},
        {&P::R6a, "BR6", S::Rest},
        {&P::R6b, "BR6", S::Part},
        {&P::C1, "BC1"},
        {&P::C2, "BC2"},
        {&P::C3, "BC3"},
        {&P::C4, "BC4"},
        {&P::RG, "BG"},
    }};
    // A input; U, P, Q the bass pot's top, wiper and bottom; X, T, Y the treble
    // pot's top, wiper (output) and bottom.
    page.Branches = {
        {K::Resistor, "BR1", "A", "U"},   {K::Pot, "BR2", "U", "Q", "P"},
        {K::Capacitor, "BC1", "U", "P"},  {K::Capacitor, "BC2", "P", "Q"},
        {K::Resistor, "BR3", "Q", "0"},   {K::Resistor, "BR4", "P", "T"},
        {K::Capacitor, "BC3", "A", "X"},  {K::Pot, "BR6", "X", "Y", "T"},
        {K::Capacitor, "BC4", "Y", "0"},  {K::Resistor, "BR5", "T", "0"},
    };
    page.InputNode = "A";
    page.OutputNode = "T";
    return page;
}

} // namespace cva
