#pragma once

// Small dense matrices for designing the audio filter: built and solved
// once per change of the circuit, never in the per-sample path.

#include <cmath>
#include <cstddef>
#include <vector>

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
        for (int k = 0; k < n; ++k) {
            int best = k;
            for (int i = k + 1; i < n; ++i)
                if (std::abs(Factors(i, k)) > std::abs(Factors(best, k)))
                    best = i;
            Pivots[k] = best;
            if (best != k)
                for (int j = 0; j < n; ++j)
                    std::swap(Factors(k, j), Factors(best, j));
            const T pivot = Factors(k, k);
            if (!(std::abs(pivot) > 0) || !std::isfinite(std::abs(pivot)))
                return false;
            for (int i = k + 1; i < n; ++i) {
                const T factor = Factors(i, k) / pivot;
                Factors(i, k) = factor;
                for (int j = k + 1; j < n; ++j)
                    Factors(i, j) -= factor * Factors(k, j);
            }
        }
        return true;
    }

    // Solves A X = B for every column of B.
    TDenseMatrix<T> Solve(TDenseMatrix<T> b) const
    {
        const int n = Factors.RowCount();
        for (int column = 0; column < b.ColumnCount(); ++column) {
            for (int k = 0; k < n; ++k)
                std::swap(b(k, column), b(Pivots[k], column));
            for (int i = 1; i < n; ++i)
                for (int k = 0; k < i; ++k)
                    b(i, column) -= Factors(i, k) * b(k, column);
            for (int i = n - 1; i >= 0; --i) {
                for (int k = i + 1; k < n; ++k)
                    b(i, column) -= Factors(i, k) * b(k, column);
                b(i, column) /= Factors(i, i);
            }
        }
        return b;
    }

private:
    TDenseMatrix<T> Factors;
    std::vector<int> Pivots;
};

// The x that minimises |A x - b|^2 + ridge^2 |S x|^2, by Householder
// reflections (better conditioned than the normal equations), where S scales
// each column of A to unit length so that columns of very different size do
// not lose each other's digits. The small ridge keeps nearly dependent
// columns from blowing the solution up.
std::vector<double> SolveLeastSquares(const TDenseMatrix<double> &a, const std::vector<double> &b, double ridge);

} // namespace cva
