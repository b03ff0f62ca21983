// Treble pot between two capacitors from the source node to ground, wiper as
// output; a bass network hangs off C3 and feeds back through R5. The source
// branch lies in loops 1 and 2, which therefore share RG with a plus sign.

#include "models/Models.h"
#include "numerics/Cramer.h"

namespace cva {

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

void CalcESeries(const TCalcParms &p, int step, TTrace &live) { CalcTrace(ESeriesResponse, p, step, live); }

} // namespace cva
