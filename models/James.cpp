// Separate bass and treble networks meeting at the output. Each bass pot
// section has a capacitor across it; R4 joins the two wipers.

#include "models/Models.h"
#include "numerics/Cramer.h"

namespace cva {

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

void CalcJames(const TCalcParms &p, int step, TTrace &live) { CalcTrace(JamesResponse, p, step, live); }

} // namespace cva
