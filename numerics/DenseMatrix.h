#pragma once

// Small dense matrices for designing the audio filter: built and solved
// once per change of the circuit, never in the per-sample path.

#include <cmath>
#include <cstddef>
#include <vector>

#include "numerics/LU.h"

namespace cva {

template <class T> class TDenseMatrix {
public:
    TDenseMatrix() = default;
    TDenseMatrix(int rows, int columns) : Rows(rows), Columns(columns), Cells(std::size_t(rows) * columns, T{}) {}

    int RowCount() const { return Rows; }
    int ColumnCount() const { return Columns; }
    T &operator()(int row, int column) { return Cells[std::size_t(row) * Columns + column]; }
    const T &operator()(int row, int column) const { return Cells[std::size_t(row) * Columns + column]; }

private:
    int Rows = 0;
    int Columns = 0;
    std::vector<T> Cells;
};

template <class T> TDenseMatrix<T> operator*(const TDenseMatrix<T> &a, const TDenseMatrix<T> &b)
{
    TDenseMatrix<T> product(a.RowCount(), b.ColumnCount());
    for (int i = 0; i < a.RowCount(); ++i)
        for (int k = 0; k < a.ColumnCount(); ++k)
            for (int j = 0; j < b.ColumnCount(); ++j)
                product(i, j) += a(i, k) * b(k, j);
    return product;
}

// LU factors with partial pivoting of a square matrix.
template <class T> class TDenseLU {
public:
    // False when a pivot is zero or not finite: the matrix is singular.
    bool Factor(TDenseMatrix<T> matrix)
    {
        Factors = std::move(matrix);
        const int n = Factors.RowCount();
        Pivots.assign(std::size_t(n), 0);
        Inverses.assign(std::size_t(n), T{});
        std::vector<int> nonzero(static_cast<std::size_t>(n));
        return FactorInPlace<T>(Factors, n, DenseBand(n), Pivots, Inverses, nonzero);
    }

    // Solves A X = B for every column of B.
    TDenseMatrix<T> Solve(TDenseMatrix<T> b) const
    {
        const int n = Factors.RowCount();
        std::vector<T> column(static_cast<std::size_t>(n));
        for (int j = 0; j < b.ColumnCount(); ++j) {
            for (int i = 0; i < n; ++i)
                column[i] = b(i, j);
            SolveFactored<T>(Factors, n, DenseBand(n), Pivots, Inverses, column);
            for (int i = 0; i < n; ++i)
                b(i, j) = column[i];
        }
        return b;
    }

private:
    TDenseMatrix<T> Factors;
    std::vector<int> Pivots;
    std::vector<T> Inverses;
};

// The x that minimises |A x - b|^2 + ridge^2 |S x|^2, by Householder
// reflections (better conditioned than the normal equations), where S scales
// each column of A to unit length so that columns of very different size do
// not lose each other's digits. The small ridge keeps nearly dependent
// columns from blowing the solution up.
std::vector<double> SolveLeastSquares(const TDenseMatrix<double> &a, const std::vector<double> &b, double ridge);

} // namespace cva
