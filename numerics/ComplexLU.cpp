#include "numerics/ComplexLU.h"

#include <algorithm>

namespace cva {

bool TComplexLU::Factor(int order, TBand band)
{
    Order = order;
    Band = band;
    return FactorInPlace<TCx>([this](int row, int column) -> TCx & { return Cells[row][column]; }, order, band, Pivot,
                              Inverse, NonzeroColumns);
}

void TComplexLU::Solve(const std::array<TCx, MaxLUOrder> &b, std::array<TCx, MaxLUOrder> &x) const
{
    if (&x != &b)
        std::copy(b.begin(), b.begin() + Order, x.begin());
    SolveFactored<TCx>([this](int row, int column) -> const TCx & { return Cells[row][column]; }, Order, Band, Pivot,
                       Inverse, x);
}

} // namespace cva
