// One pot blending a high-pass path (C1 then R2 to ground) with a low-pass
// path (R1 then C2 to ground); its wiper drives the load R4.

#include "models/Models.h"
#include "numerics/Cramer.h"

namespace cva {

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

void CalcBigMuff(const TCalcParms &p, int step, TTrace &live) { CalcTrace(BigMuffResponse, p, step, live); }

} // namespace cva
