#pragma once

// The built-in pages. Each lies in a description file of its own in pages/,
// NAME.cpp defining `TCircuitDef NAMECircuit()` from its netlist (see
// BuiltInPage.h); the build finds the files and lists their functions, so a
// new page needs its file and its drawing and nothing else.

#include <vector>

#include "models/CircuitDef.h"

namespace cva {

// In page order.
const std::vector<TCircuitDef> &BuiltInCircuits();

} // namespace cva
