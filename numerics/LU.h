#pragma once

// LU factorisation with partial pivoting, in place, for real and complex
// matrices in any storage that gives its elements as m(row, column): the
// circuit engine's fixed-size nodal matrices and the audio filter design's
// dense ones share it, so both pivot and substitute alike.

#include <cmath>
#include <complex>
#include <utility>

namespace cva {

// The cheap magnitude for choosing pivots; a NaN never wins.
inline double PivotSize(double x) { return std::fabs(x); }
inline double PivotSize(const std::complex<double> &z) { return std::fabs(z.real()) + std::fabs(z.imag()); }

// Factors the leading order x order block of m in place: below the diagonal
// the multipliers, on and above it U. pivot[k] is set to the row exchanged
// with row k and inverse[k] to the reciprocal of U's diagonal element, both
// for SolveFactored; nonzero is room for 'order' column numbers. Returns
// false when a pivot is zero or not finite, i.e. the matrix is singular or
// broken.
template <class T, class Matrix, class Pivots, class Inverses, class Columns>
bool FactorInPlace(Matrix &&m, int order, Pivots &pivot, Inverses &inverse, Columns &nonzero)
{
    for (int col = 0; col < order; ++col) {
        int best = col;
        double bestSize = PivotSize(m(col, col));
        for (int row = col + 1; row < order; ++row) {
            const double size = PivotSize(m(row, col));
            if (size > bestSize) {
                best = row;
                bestSize = size;
            }
        }
        pivot[col] = best;
        if (!(bestSize > 0) || !std::isfinite(bestSize))
            return false;
        if (best != col)
            for (int k = 0; k < order; ++k)
                std::swap(m(col, k), m(best, k));
        const T reciprocal = T(1.0) / m(col, col);
        inverse[col] = reciprocal;
        // Circuit matrices are sparse: a node meets few others, so the pivot
        // row's nonzero columns are few even after fill-in, and only they
        // change the rows below.
        int nonzeroCount = 0;
        for (int k = col + 1; k < order; ++k)
            if (m(col, k) != T(0.0))
                nonzero[nonzeroCount++] = k;
        for (int row = col + 1; row < order; ++row) {
            if (m(row, col) == T(0.0))
                continue;
            const T factor = m(row, col) * reciprocal;
            m(row, col) = factor;
            for (int i = 0; i < nonzeroCount; ++i)
                m(row, nonzero[i]) -= factor * m(col, nonzero[i]);
        }
    }
    return true;
}

// Solves A x = b with the factors of FactorInPlace; x holds b on entry and
// x on return.
template <class T, class Matrix, class Pivots, class Inverses, class Vector>
void SolveFactored(const Matrix &m, int order, const Pivots &pivot, const Inverses &inverse, Vector &x)
{
    // Whole rows were exchanged while factoring, so the stored multipliers
    // belong to the final row order: exchange b first, then substitute.
    for (int col = 0; col < order; ++col)
        if (pivot[col] != col)
            std::swap(x[col], x[pivot[col]]);
    for (int col = 0; col < order; ++col)
        for (int row = col + 1; row < order; ++row)
            x[row] -= m(row, col) * x[col];
    for (int row = order - 1; row >= 0; --row) {
        T sum = x[row];
        for (int k = row + 1; k < order; ++k)
            sum -= m(row, k) * x[k];
        x[row] = sum * inverse[row];
    }
}

} // namespace cva
