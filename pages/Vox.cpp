// Two-knob stack whose bass pot wiper is tied by a short wire to the junction
// of C1 and R2. The wire is a 1 milliohm resistor so the loops stay regular;
// the loop model takes it from the branch list, so both roads solve one
// circuit.

#include "pages/BuiltInPage.h"
#include "numerics/Cramer.h"

namespace cva {

namespace {

using S = TSlotSource;
using P = TCalcParms;

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
    A[2][2] = Real(p.RW) + Real(p.R4a) + zc2 + zc1;
    A[2][3] = Real(-p.RW);
    A[2][4] = Real(-p.R4a);
    A[3][3] = Real(p.R2) + Real(p.R4b) + Real(p.RW);
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
    TCircuitDef page = BuiltInPage(R"(Vox
*corvanta: page V
*corvanta: picture vox
* A input, T treble pot top, W treble wiper (output), M bass pot top, B the
* C1/C2 junction, D the C1/R2 junction, X the bass wiper.
V1 in 0 AC 1
RG in A 56k
R1 A B 100k
R2 D 0 10k
Rwire D X 1m
PR3 M W T 1meg logA control=Treble
PR4 M X 0 1meg logA control=Bass
R5 W 0 600k
C1 B D 22n
C2 B M 22n
C3 A T 47p
.print ac v(W)
.end
)");
    page.PageOrder = 2;
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
        {&P::RW, "Rwire", S::Wiring},
    }};
    return page;
}

} // namespace cva
