#include "models/ClassicStack.h"

#include "numerics/Cramer.h"

namespace cva {

// Loops: I1 source-R1-C3-leg, I2 C1-treble-C2-R1, I3 C2-MK-C3, I4 leg-MK-R2b-R5.
double ClassicStackResponse(const TCalcParms &p, double frequency, double midToK, double leg)
{
    const double omega = AngularFrequency(frequency);
    const TComplex zc1 = CapacitorImpedance(omega, p.C1);
    const TComplex zc2 = CapacitorImpedance(omega, p.C2);
    const TComplex zc3 = CapacitorImpedance(omega, p.C3);

    TComplexMatrix A;
    A[0][0] = Real(p.RG) + Real(p.R1) + Real(leg) + zc3;
    A[0][1] = Real(-p.R1);
    A[0][2] = -zc3;
    A[0][3] = Real(-leg);
    A[1][1] = Real(p.R1) + Real(p.R2a) + Real(p.R2b) + zc1 + zc2;
    A[1][2] = -zc2;
    A[1][3] = Real(-p.R2b);
    A[2][2] = Real(midToK) + zc2 + zc3;
    A[2][3] = Real(-midToK);
    A[3][3] = Real(p.R2b) + Real(midToK) + Real(leg) + Real(p.R5);
    MirrorUpperTriangle(4, A);

    TComplexVector b;
    CSetReal(b[0], 1.0);
    TComplexVector I;
    CramerSolve(4, A, b, I);
    return GainDB(CAbs(I[3]) * p.R5);
}

} // namespace cva
