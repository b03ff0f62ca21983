#include "numerics/ComplexLU.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace cva {

namespace {

// The cheap magnitude for choosing pivots; a NaN never wins.
double PivotSize(const TCx &z) { return std::fabs(z.real()) + std::fabs(z.imag()); }

} // namespace

bool TComplexLU::Factor(int order)
{
    Order = order;
    for (int col = 0; col < order; ++col) {
        int best = col;
        double bestSize = PivotSize(Cells[col][col]);
        for (int row = col + 1; row < order; ++row) {
            const double size = PivotSize(Cells[row][col]);
            if (size > bestSize) {
                best = row;
                bestSize = size;
            }
        }
        Pivot[col] = best;
        if (!(bestSize > 0) || !std::isfinite(bestSize))
            return false;
        if (best != col)
            std::swap(Cells[col], Cells[best]);
        const TCx inverse = 1.0 / Cells[col][col];
        Inverse[col] = inverse;
        const auto &pivotRow = Cells[col];
        for (int row = col + 1; row < order; ++row) {
            auto &cells = Cells[row];
            if (cells[col] == TCx(0.0, 0.0))
                continue;
            const TCx factor = cells[col] * inverse;
            cells[col] = factor;
            for (int k = col + 1; k < order; ++k)
                cells[k] -= factor * pivotRow[k];
        }
    }
    return true;
}

void TComplexLU::Solve(const std::array<TCx, MaxLUOrder> &b, std::array<TCx, MaxLUOrder> &x) const
{
    if (&x != &b)
        std::copy(b.begin(), b.begin() + Order, x.begin());
    // Whole rows were exchanged while factoring, so the stored multipliers
    // belong to the final row order: exchange b first, then substitute.
    for (int col = 0; col < Order; ++col)
        if (Pivot[col] != col)
            std::swap(x[col], x[Pivot[col]]);
    for (int col = 0; col < Order; ++col) {
        for (int row = col + 1; row < Order; ++row)
            x[row] -= Cells[row][col] * x[col];
    }
    for (int row = Order - 1; row >= 0; --row) {
        TCx sum = x[row];
        for (int k = row + 1; k < Order; ++k)
            sum -= Cells[row][k] * x[k];
        x[row] = sum * Inverse[row];
    }
}

} // namespace cva
