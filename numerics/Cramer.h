#pragma once

// Cramer's rule for the small complex loop systems (order 3 to 7) of the
// tone-stack models. Everything lives on the stack: no allocation, no state.

#include "numerics/Complex.h"

namespace cva {

constexpr int MaxOrder = 7;

struct TComplexMatrix {
    TComplex Cell[MaxOrder][MaxOrder];
    TComplex *operator[](int row) { return Cell[row]; }
    const TComplex *operator[](int row) const { return Cell[row]; }
};

struct TComplexVector {
    TComplex Item[MaxOrder];
    TComplex &operator[](int i) { return Item[i]; }
    const TComplex &operator[](int i) const { return Item[i]; }
};

// Loop matrices are symmetric: models fill the upper triangle and mirror it.
inline void MirrorUpperTriangle(int n, TComplexMatrix &A)
{
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < i; ++j)
            A[i][j] = A[j][i];
}

// Determinant of the top-left n x n block, by elimination without pivoting;
// only a pivot of exactly zero is exchanged for a lower row (a singular
// matrix gives 0).
// The matrix is taken by value so the caller's copy is left alone.
TComplex Determinant(int n, TComplexMatrix A);

// Solves A.x = b for x[0..n-1]; x is written only once every determinant is known.
void CramerSolve(int n, const TComplexMatrix &A, const TComplexVector &b, TComplexVector &x);

} // namespace cva
