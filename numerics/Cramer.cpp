#include "numerics/Cramer.h"

#include <utility>

namespace cva {

TComplex Determinant(int n, TComplexMatrix A)
{
    bool negate = false;
    for (int i = 0; i < n - 1; ++i) {
        // A pivot of exactly zero would divide 0 by 0. Take the next row that
        // has a non-zero entry in this column instead; if there is none, the
        // matrix is singular. Regular loop matrices never get here, so their
        // arithmetic is untouched.
        if (A[i][i].Re == 0 && A[i][i].Im == 0) {
            int swap = i + 1;
            while (swap < n && A[swap][i].Re == 0 && A[swap][i].Im == 0)
                ++swap;
            if (swap == n)
                return {0.0, 0.0};
            for (int k = i; k < n; ++k)
                std::swap(A[i][k], A[swap][k]);
            negate = !negate;
        }
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
    if (negate)
        CNeg(TComplex(d), d);
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
