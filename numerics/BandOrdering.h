#pragma once

// A numbering of a sparse symmetric matrix's unknowns that keeps its
// elements near the diagonal (reverse Cuthill-McKee): a breadth-first walk
// of the unknowns' graph from an outlying one, neighbours of fewer
// connections first, read backwards. A circuit's nodes numbered so give a
// band a few unknowns wide however the netlist lists its parts.

#include <array>
#include <span>
#include <utility>

#include "numerics/ComplexLU.h"

namespace cva {

using TUnknownOrder = std::array<int, MaxLUOrder>;

using TCoupling = std::pair<int, int>;

// The new number of each unknown 0 .. count - 1, from the pairs of unknowns
// that meet off the diagonal (each pair once or more, either way round).
TUnknownOrder BandOrdering(int count, std::span<const TCoupling> couplings);

// The band of the matrix with its unknowns renumbered by 'order'.
TBand BandOf(const TUnknownOrder &order, std::span<const TCoupling> couplings);

} // namespace cva
