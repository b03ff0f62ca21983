// Separate bass and treble networks meeting at the output. Each bass pot
// section has a capacitor across it; R4 joins the two wipers.

#include "pages/BuiltInPage.h"
#include "numerics/Cramer.h"

namespace cva {

namespace {

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
    TCircuitDef page = BuiltInPage(R"(James
*corvanta: page B
*corvanta: picture james
* A input; U, P, Q the bass pot's top, wiper and bottom; X, T, Y the treble
* pot's top, wiper (output) and bottom.
V1 in 0 AC 1
RG in A 38k
R1 A U 100k
PR2 Q P U 1meg logB control=Bass
R3 Q 0 10k
R4 P T 180k
R5 T 0 1meg
PR6 Y T X 470k logB control=Treble
C1 U P 470p
C2 P Q 4.7n
C3 A X 330p
C4 Y 0 3.3n
.print ac v(T)
.end
)");
    page.PageOrder = 4;
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
    return page;
}

} // namespace cva
