#pragma once

// LU factorisation with partial pivoting, in place, for real and complex
// matrices in any storage that gives its elements as m(row, column): the
// circuit engine's fixed-size nodal matrices and the audio filter design's
// dense ones share it, so both pivot and substitute alike.

#include <algorithm>
#include <cmath>
#include <complex>
#include <utility>

namespace cva {

// The cheap magnitude for choosing pivots; a NaN never wins.
inline double PivotSize(double x) { return std::fabs(x); }
inline double PivotSize(const std::complex<double> &z) { return std::fabs(z.real()) + std::fabs(z.imag()); }

// How far from the diagonal a matrix's elements lie: none more than Lower
// rows below it or Upper columns right of it. A nodal matrix whose unknowns
// are numbered along the circuit is narrow; a dense one spans its order.
struct TBand {
    int Lower;
    int Upper;
};

inline TBand DenseBand(int order) { return {order - 1, order - 1}; }

// Factors the leading order x order block of m in place: below the diagonal
// the multipliers, on and above it U. pivot[k] is set to the row exchanged
// with row k at step k and inverse[k] to the reciprocal of U's diagonal
// element, both for SolveFactored; nonzero is room for 'order' column
// numbers. Returns false when a pivot is zero or not finite, i.e. the matrix
// is singular or broken. Partial pivoting keeps the multipliers within the
// band's Lower rows and widens U to Lower + Upper columns, so nothing
// outside that is read or written.
template <class T, class Matrix, class Pivots, class Inverses, class Columns>
bool FactorInPlace(Matrix &&m, int order, TBand band, Pivots &pivot, Inverses &inverse, Columns &nonzero)
{
    for (int col = 0; col < order; ++col) {
        const int lastRow = std::min(order - 1, col + band.Lower);
        const int lastColumn = std::min(order - 1, col + band.Lower + band.Upper);
        int best = col;
        double bestSize = PivotSize(m(col, col));
        for (int row = col + 1; row <= lastRow; ++row) {
            const double size = PivotSize(m(row, col));
            if (size > bestSize) {
                best = row;
                bestSize = size;
            }
        }
        pivot[col] = best;
        if (!(bestSize > 0) || !std::isfinite(bestSize))
            return false;
        // The multipliers already stored stay in place; SolveFactored makes
        // the exchanges step by step, as they were made here.
        if (best != col)
            for (int k = col; k <= lastColumn; ++k)
                std::swap(m(col, k), m(best, k));
        const T reciprocal = T(1.0) / m(col, col);
        inverse[col] = reciprocal;
        // Circuit matrices are sparse: a node meets few others, so the pivot
        // row's nonzero columns are few even after fill-in, and only they
        // change the rows below.
        int nonzeroCount = 0;
        for (int k = col + 1; k <= lastColumn; ++k)
            if (m(col, k) != T(0.0))
                nonzero[nonzeroCount++] = k;
        for (int row = col + 1; row <= lastRow; ++row) {
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

// Solves A x = b with the factors of FactorInPlace (and the same band); x
// holds b on entry and x on return.
template <class T, class Matrix, class Pivots, class Inverses, class Vector>
void SolveFactored(const Matrix &m, int order, TBand band, const Pivots &pivot, const Inverses &inverse, Vector &x)
{
    // The factors keep most of the matrix's zeros: skipping them leaves
    // every finite result as it was.
    for (int col = 0; col < order; ++col) {
        if (pivot[col] != col)
            std::swap(x[col], x[pivot[col]]);
        const T xc = x[col];
        if (xc == T(0.0))
            continue;
        const int lastRow = std::min(order - 1, col + band.Lower);
        for (int row = col + 1; row <= lastRow; ++row)
            if (m(row, col) != T(0.0))
                x[row] -= m(row, col) * xc;
    }
    for (int row = order - 1; row >= 0; --row) {
        T sum = x[row];
        const int lastColumn = std::min(order - 1, row + band.Lower + band.Upper);
        for (int k = row + 1; k <= lastColumn; ++k)
            if (m(row, k) != T(0.0))
                sum -= m(row, k) * x[k];
        x[row] = sum * inverse[row];
    }
}

} // namespace cva
