#pragma once

// Dense complex LU factorisation with partial pivoting for the small
// nodal systems of the circuit engine. Storage is fixed, so factoring and
// solving inside a sweep never allocates.

#include <array>
#include <complex>

#include "numerics/LU.h"

namespace cva {

constexpr int MaxLUOrder = 65;

using TCx = std::complex<double>;

class TComplexLU {
public:
    // Element (row, column) of the matrix to factor; set every element
    // of the leading order x order block before Factor.
    TCx &At(int row, int column) { return Cells[row][column]; }

    // Factors the leading order x order block in place. Returns false when
    // a pivot is zero or not finite, i.e. the matrix is singular or broken.
    // Only the band of a banded matrix need be set (see FactorInPlace).
    bool Factor(int order, TBand band);
    bool Factor(int order) { return Factor(order, DenseBand(order)); }

    // Solves A x = b with the factors of the last successful Factor; x may be b.
    void Solve(const std::array<TCx, MaxLUOrder> &b, std::array<TCx, MaxLUOrder> &x) const;

private:
    int Order = 0;
    TBand Band{};
    std::array<std::array<TCx, MaxLUOrder>, MaxLUOrder> Cells{};
    std::array<int, MaxLUOrder> Pivot{};
    std::array<TCx, MaxLUOrder> Inverse{}; // of each pivot
    std::array<int, MaxLUOrder> NonzeroColumns{}; // room for factoring
};

} // namespace cva
