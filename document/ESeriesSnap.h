#pragma once

// Rounding a page's fixed parts to values that can be bought.

#include <string>
#include <vector>

#include "components/ESeries.h"
#include "document/Circuit.h"

namespace cva {

// Sets every resistor and capacitor of the active page to its nearest value of
// the series. Pots, the source and inductors stay as they are: a pot's value
// comes from its own short list, and the source stands for a stage, not a part.
// A part whose value has no nearest one (zero, negative) stays as it was, and
// the returned lines say so, one for each.
std::vector<std::string> SnapActivePage(TCircuit &circuit, TESeries series);

} // namespace cva
