// One pot blending a high-pass path (C1 then R2 to ground) with a low-pass
// path (R1 then C2 to ground); its wiper drives the load R4.

#include "pages/BuiltInPage.h"
#include "numerics/Cramer.h"

namespace cva {

namespace {

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
    TCircuitDef page = BuiltInPage(R"(Big muff
*corvanta: page P
*corvanta: picture bigmuff
* A input, U the high-pass junction, L the low-pass junction, W the wiper
* (output).
V1 in 0 AC 1
RG in A 1k
R1 A L 39k
R2 U 0 22k
PR3 L W U 100k linear control=Mid
R4 W 0 1meg
C1 A U 4n
C2 L 0 10n
.print ac v(W)
.end
)");
    page.PrintedName = "Big Muff";
    page.PageOrder = 7;
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
    return page;
}

} // namespace cva
