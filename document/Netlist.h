#pragma once

// The active page's circuit as numbers for the circuit engine: its branch
// list with the values of the component store and the pots split at their
// sliders' positions.

#include <string>
#include <vector>

#include "document/Circuit.h"
#include "models/Netlist.h"

namespace cva {

// 'nodeNames', when given, receives each node's name by its number ("0" first).
TNetlist BuildNetlist(const TCircuit &circuit, std::vector<std::string> *nodeNames = nullptr);

} // namespace cva
