#include "numerics/DenseMatrix.h"

#include "numerics/Error.h"

namespace cva {

std::vector<double> SolveLeastSquares(const TDenseMatrix<double> &system, const std::vector<double> &rhs,
                                      double ridge)
{
    const int columns = system.ColumnCount();
    const int rows = system.RowCount() + columns;
    // The ridge rows below the system: ridge * x_j = 0.
    TDenseMatrix<double> a(rows, columns);
    std::vector<double> b(static_cast<std::size_t>(rows), 0.0);
    std::vector<double> scale(static_cast<std::size_t>(columns), 1.0);
    for (int j = 0; j < columns; ++j) {
        double norm = 0;
        for (int i = 0; i < system.RowCount(); ++i)
            norm += system(i, j) * system(i, j);
        norm = std::sqrt(norm);
        if (!(norm > 0) || !std::isfinite(norm))
            throw CorvantaError("A column of the least-squares system is zero or not finite");
        scale[j] = 1.0 / norm;
        for (int i = 0; i < system.RowCount(); ++i)
            a(i, j) = system(i, j) * scale[j];
        a(system.RowCount() + j, j) = ridge;
    }
    for (int i = 0; i < system.RowCount(); ++i)
        b[i] = rhs[i];
    for (int k = 0; k < columns; ++k) {
        double norm = 0;
        for (int i = k; i < rows; ++i)
            norm += a(i, k) * a(i, k);
        norm = std::sqrt(norm);
        const double alpha = a(k, k) > 0 ? -norm : norm;
        // Reflection vector v = column k below the diagonal minus alpha e_k.
        std::vector<double> v(static_cast<std::size_t>(rows - k));
        for (int i = k; i < rows; ++i)
            v[i - k] = a(i, k);
        v[0] -= alpha;
        double vv = 0;
        for (const double x : v)
            vv += x * x;
        auto reflect = [&](auto &&element) {
            double dot = 0;
            for (int i = k; i < rows; ++i)
                dot += v[i - k] * element(i);
            const double f = 2 * dot / vv;
            for (int i = k; i < rows; ++i)
                element(i) -= f * v[i - k];
        };
        for (int j = k; j < columns; ++j)
            reflect([&](int i) -> double & { return a(i, j); });
        reflect([&](int i) -> double & { return b[i]; });
    }
    std::vector<double> x(static_cast<std::size_t>(columns));
    for (int i = columns - 1; i >= 0; --i) {
        double sum = b[i];
        for (int j = i + 1; j < columns; ++j)
            sum -= a(i, j) * x[j];
        x[i] = sum / a(i, i);
    }
    for (int j = 0; j < columns; ++j)
        x[j] *= scale[j];
    return x;
}

} // namespace cva
