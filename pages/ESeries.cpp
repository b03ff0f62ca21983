// Treble pot between two capacitors from the source node to ground, wiper as
// output; a bass network hangs off C3 and feeds back through R5. The source
// branch lies in loops 1 and 2, which therefore share RG with a plus sign.

#include "pages/BuiltInPage.h"
#include "numerics/Cramer.h"

namespace cva {

namespace {

using S = TSlotSource;
using P = TCalcParms;

double ESeriesResponse(const TCalcParms &p, double frequency)
{
    const double omega = AngularFrequency(frequency);
    const TComplex zc1 = CapacitorImpedance(omega, p.C1);
    const TComplex zc2 = CapacitorImpedance(omega, p.C2);
    const TComplex zc3 = CapacitorImpedance(omega, p.C3);
    const TComplex zc4 = CapacitorImpedance(omega, p.C4);

    const TComplex bass = Par(zc4 + Real(p.R4b), Real(p.R4a));

    TComplexMatrix A;
    A[0][0] = zc1 + zc2 + Real(p.R1a) + Real(p.R1b) + Real(p.RG);
    A[0][1] = Real(p.RG);
    A[0][2] = zc2 + Real(p.R1a);
    A[0][3] = Real(0);
    A[1][1] = zc3 + Real(p.R2) + Real(p.RG);
    A[1][2] = -zc3;
    A[1][3] = Real(-p.R2);
    A[2][2] = zc2 + zc3 + Real(p.R1a) + Real(p.R3) + Real(p.R5);
    A[2][3] = Real(-p.R3);
    A[3][3] = bass + Real(p.R2) + Real(p.R3);
    MirrorUpperTriangle(4, A);

    TComplexVector b;
    CSetReal(b[0], 1.0);
    CSetReal(b[1], 1.0);
    TComplexVector I;
    CramerSolve(4, A, b, I);
    const TComplex wiper = I[3] * bass + I[2] * Real(p.R5);
    return GainDB(CAbs(wiper));
}

} // namespace

TCircuitDef ESeriesCircuit()
{
    TCircuitDef page = BuiltInPage(R"(E series
*corvanta: page E
*corvanta: picture eseries
* A input; Y, W, Z the treble pot's lower end, wiper (output) and upper end;
* B the C3/R2 junction, K the bass wiper, Q the bass pot's end at C4.
V1 in 0 AC 1
RG in A 1.3k
PR1 Z W Y 1meg logA control=Treble
R2 B 0 220k
R3 B K 100k
PR4 0 K Q 1meg logA control=Bass
R5 K W 220k
C1 Z 0 10n
C2 A Y 250p
C3 A B 100n
C4 Q 0 5n
.print ac v(W)
.end
)");
    page.PageOrder = 5;
    page.Loop = TLoopModel{ESeriesResponse, {
        {&P::R1a, "ER1", S::Rest},
        {&P::R1b, "ER1", S::Part},
        {&P::R2, "ER2"},
        {&P::R3, "ER3"},
        {&P::R4a, "ER4", S::Part},
        {&P::R4b, "ER4", S::Rest},
        {&P::R5, "ER5"},
        {&P::C1, "EC1"},
        {&P::C2, "EC2"},
        {&P::C3, "EC3"},
        {&P::C4, "EC4"},
        {&P::RG, "EG"},
    }};
    return page;
}

} // namespace cva
