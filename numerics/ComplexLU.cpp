#include "numerics/ComplexLU.h"

#include <algorithm>

#include "numerics/LU.h"

namespace cva {

bool TComplexLU::Factor(int order)
{
    Order = order;
    return FactorInPlace<TCx>([this](int row, int column) -> TCx & { return Cells[row][column]; }, order, Pivot,
                              Inverse, NonzeroColumns);
}

void TComplexLU::Solve(const std::array<TCx, MaxLUOrder> &b, std::array<TCx, MaxLUOrder> &x) const
{
    if (&x != &b)
        std::copy(b.begin(), b.begin() + Order, x.begin());
    SolveFactored<TCx>([this](int row, int column) -> const TCx & { return Cells[row][column]; }, Order, Pivot, Inverse,
                       x);
}

} // namespace cva
