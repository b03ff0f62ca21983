// Three pots, each a divider from the source node to ground, whose wipers feed
// the output node through C1+L1, L2 and C2. Loops 2, 4, 6 all cross R4 and
// loops 3, 5, 7 all cross R5, which gives the two same-sense (plus) entries.

#include "models/Models.h"
#include "numerics/Cramer.h"

namespace cva {

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

void CalcBench(const TCalcParms &p, int step, TTrace &live) { CalcTrace(BenchResponse, p, step, live); }

} // namespace cva
