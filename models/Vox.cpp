// Two-knob stack whose bass pot wiper is tied by a short wire to the junction
// of C1 and R2. The wire is a 1 milliohm resistor so the loops stay regular.

#include "models/Models.h"
#include "numerics/Cramer.h"

namespace cva {

double VoxResponse(const TCalcParms &p, double frequency)
{
    constexpr double Wire = 0.001;
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

void CalcVox(const TCalcParms &p, int step, TTrace &live) { CalcTrace(VoxResponse, p, step, live); }

} // namespace cva
