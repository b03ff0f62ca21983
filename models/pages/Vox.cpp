// Two-knob stack whose bass pot wiper is tied by a short wire to the junction
// of C1 and R2. The wire is a 1 milliohm resistor so the loops stay regular;
// the branch list carries the same wire, so both roads solve one circuit.

#include "components/Symbol.h"
#include "models/CircuitDef.h"
#include "numerics/Cramer.h"

namespace cva {

namespace {

using K = TElementKind;
using S = TSlotSource;
using P = TCalcParms;

constexpr double Wire = 0.001;

double VoxResponse(const TCalcParms &p, double frequency)
{
    const double omega = AngularFrequency(frequency);
    const TComplex zc1 = CapacitorImpedance(omega, p.C1);
    const TComplex zc2 = CapacitorImpedance(omega, p.C2);
    const TComplex zc3 = CapacitorImpedance(omega, p.C3);

    TComplexMatrix A;
    A[0][0] = Real(p.RG) + Real(p.R1) + Real(p.R2) + zc1;
    A[0][1] = Real(-p.R1);
    A[0][2] = -zc1;
    A[0][3] = Real(-p.R2);
    A[0][4] = Real(0);
    A[1][1] = Real(p.R1) + Real(p.R3a) + Real(p.R3b) + zc2 + zc3;
    A[1][2] = -zc2;
    A[1][3] = Real(0);
    A[1][4] = Real(-p.R3b);
    A[2][2] = Real(Wire) + Real(p.R4a) + zc2 + zc1;
    A[2][3] = Real(-Wire);
    A[2][4] = Real(-p.R4a);
    A[3][3] = Real(p.R2) + Real(p.R4b) + Real(Wire);
    A[3][4] = Real(-p.R4b);
    A[4][4] = Real(p.R4a) + Real(p.R4b) + Real(p.R3b) + Real(p.R5);
    MirrorUpperTriangle(5, A);

    TComplexVector b;
    CSetReal(b[0], 1.0);
    TComplexVector I;
    CramerSolve(5, A, b, I);
    return GainDB(CAbs(I[4]) * p.R5);
}

} // namespace

TCircuitDef VoxCircuit()
{
    TCircuitDef page;
    page.TabCaption = "Vox";
    page.Letter = 'V';
    page.PrintedName = "Vox";
    page.Drawing = "vox";
    page.PageOrder = 2;
    page.Components = {
        {"VG", K::Generator, 56000, 0},    {"VR1", K::Resistor, 100000, 0},   {"VR2", K::Resistor, 10000, 0},
        {"VR3", K::Pot, 1000000, PotLogA}, {"VR4", K::Pot, 1000000, PotLogA}, {"VR5", K::Resistor, 600000, 0},
        {"VC1", K::Capacitor, 2.2e-8, 0},  {"VC2", K::Capacitor, 2.2e-8, 0},  {"VC3", K::Capacitor, 4.7e-11, 0},
    };
    page.Controls = {{"Bass", {"VR4"}}, {"Mid", {}}, {"Treble", {"VR3"}}};
    page.Loop = TLoopModel{VoxResponse, {
        {&P::R1, "VR1"},
        {&P::R2, "VR2"},
        {&P::R3a, "VR3", S::Rest},
        {&P::R3b, "VR3", S::Part},
        {&P::R4a, "VR4", S::Part},
        {&P::R4b, "VR4", S::Rest},
        {&P::R5, "VR5"},
        {&P::C1, "VC1"},
        {&P::C2, "VC2"},
        {&P::C3, "VC3"},
        {&P::RG, "VG"},
    }};
    // A input, T treble pot top, W treble wiper (output), M bass pot top, B the
    // C1/C2 junction, D the C1/R2 junction, X the bass wiper.
    page.Branches = {
        {K::Resistor, "VR1", "A", "B"},   {K::Capacitor, "VC3", "A", "T"},
        {K::Pot, "VR3", "T", "M", "W"},
        {K::Capacitor, "VC2", "B", "M"},  {K::Capacitor, "VC1", "B", "D"},
        {K::Resistor, "VR2", "D", "0"},   {K::Resistor, "wire", "D", "X", {}, Wire},
        {K::Pot, "VR4", "0", "M", "X"},
        {K::Resistor, "VR5", "W", "0"},
    };
    page.InputNode = "A";
    page.OutputNode = "W";
    return page;
}

} // namespace cva
