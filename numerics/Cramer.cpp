#include "numerics/Cramer.h"

namespace cva {

TComplex Determinant(int n, TComplexMatrix A)
{
    for (int i = 0; i < n - 1; ++i) {
        for (int j = i + 1; j < n; ++j) {
            TComplex factor;
            CDiv(A[j][i], A[i][i], factor);
            for (int k = i; k < n; ++k) {
                TComplex product;
                CMul(factor, A[i][k], product);
                TComplex difference;
                CSub(A[j][k], product, difference);
                A[j][k] = difference;
            }
        }
    }
    TComplex d = A[0][0];
    for (int i = 1; i < n; ++i) {
        TComplex next;
        CMul(d, A[i][i], next);
        d = next;
    }
    return d;
}

void CramerSolve(int n, const TComplexMatrix &A, const TComplexVector &b, TComplexVector &x)
{
    const TComplex D = Determinant(n, A);
    TComplexMatrix W = A;
    TComplex Dk[MaxOrder];
    for (int k = 0; k < n; ++k) {
        for (int i = 0; i < n; ++i)
            W[i][k] = b[i];
        Dk[k] = Determinant(n, W);
        if (k < n - 1)
            for (int i = 0; i < n; ++i)
                W[i][k] = A[i][k];
    }
    for (int k = 0; k < n; ++k)
        CDiv(Dk[k], D, x[k]);
}

} // namespace cva
