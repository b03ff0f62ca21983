// Three pots, each a divider from the source node to ground, whose wipers feed
// the output node through C1+L1, L2 and C2. Loops 2, 4, 6 all cross R4 and
// loops 3, 5, 7 all cross R5, which gives the two same-sense (plus) entries.

#include "pages/BuiltInPage.h"
#include "numerics/Cramer.h"

namespace cva {

namespace {

using S = TSlotSource;
using P = TCalcParms;

double BenchResponse(const TCalcParms &p, double frequency)
{
    const double omega = AngularFrequency(frequency);
    const TComplex zc1 = CapacitorImpedance(omega, p.C1);
    const TComplex zc2 = CapacitorImpedance(omega, p.C2);
    const TComplex zl1 = InductorImpedance(omega, p.L1);
    const TComplex zl2 = InductorImpedance(omega, p.L2);

    TComplex z1;
    CAdd3(zc1, zl1, Real(p.RL1), z1);
    const TComplex z2 = zl2 + Real(p.RL2);

    TComplexMatrix A{};
    A[0][0] = Real(p.RG) + Real(p.R1a) + Real(p.R1b);
    A[0][1] = Real(-p.R1a);
    A[0][2] = Real(-p.R1b);
    A[1][1] = z1 + Real(p.R1a) + Real(p.R4);
    A[1][2] = -z1;
    A[1][3] = Real(-p.R4);
    A[1][5] = Real(-p.R4);
    A[2][2] = z1 + Real(p.R1b) + Real(p.R5);
    A[2][4] = Real(-p.R5);
    A[2][6] = Real(-p.R5);
    A[3][3] = zl2 + Real(p.R4) + Real(p.R2a) + Real(p.RL2);
    A[3][4] = -z2;
    A[3][5] = Real(p.R4);
    A[4][4] = zl2 + Real(p.R5) + Real(p.R2b) + Real(p.RL2);
    A[4][6] = Real(p.R5);
    A[5][5] = zc2 + Real(p.R4) + Real(p.R3a);
    A[5][6] = -zc2;
    A[6][6] = zc2 + Real(p.R5) + Real(p.R3b);
    MirrorUpperTriangle(7, A);

    TComplexVector b;
    CSetReal(b[0], 1.0);
    TComplexVector I;
    CramerSolve(7, A, b, I);
    const TComplex load = (I[2] - I[4]) - I[6];
    return GainDB(CAbs(load) * p.R5);
}

} // namespace

TCircuitDef BenchCircuit()
{
    TCircuitDef page = BuiltInPage(R"(Bench
*corvanta: page S
*corvanta: picture bench
* A input, W1..W3 the wipers of the mid, bass and treble pots, X1 the C1/L1
* junction, N the output.
V1 in 0 AC 1
RG in A 13k
PR1 0 W1 A 100k logB control=Mid
PR2 0 W2 A 100k logB control=Bass
PR3 0 W3 A 100k logB control=Treble
R4 A N 51k
R5 N 0 5.1k
C1 W1 X1 22n
C2 W3 N 6.8n
L1 X1 N 6 Rser=600
L2 W2 N 20 Rser=600
.print ac v(N)
.end
)");
    page.PageOrder = 6;
    page.Loop = TLoopModel{BenchResponse, {
        {&P::R1a, "SR1", S::Rest},
        {&P::R1b, "SR1", S::Part},
        {&P::R2a, "SR2", S::Rest},
        {&P::R2b, "SR2", S::Part},
        {&P::R3a, "SR3", S::Rest},
        {&P::R3b, "SR3", S::Part},
        {&P::R4, "SR4"},
        {&P::R5, "SR5"},
        {&P::C1, "SC1"},
        {&P::C2, "SC2"},
        {&P::L1, "SL1"},
        {&P::L2, "SL2"},
        {&P::RL1, "SL1", S::ValueR},
        {&P::RL2, "SL2", S::ValueR},
        {&P::RG, "SG"},
    }};
    return page;
}

} // namespace cva
