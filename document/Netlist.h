#pragma once

// The active page's circuit as numbers for the circuit engine: its branch
// list with the values of the component store and the pots split at their
// sliders' positions.

#include "document/Circuit.h"
#include "models/Netlist.h"

namespace cva {

TNetlist BuildNetlist(const TCircuit &circuit);

} // namespace cva
