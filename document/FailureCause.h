#pragma once

// The loop model's sweep only sees that a response is no finite number; the
// page's values say which part made it so, and the user is told that part
// rather than a guess.

#include <string>

#include "document/Circuit.h"

namespace cva {

// Values this far from 1 in decades are beyond real parts, and products of a
// few of them leave the range of the arithmetic.
constexpr double ExtremeValueDecades = 30;

// "C1 on the Fender page is 0 F: a capacitance of zero leaves no finite gain",
// or the page's value farthest beyond ExtremeValueDecades; empty when no value
// of the active page explains a sweep that failed.
std::string SweepFailureCause(const TCircuit &circuit);

} // namespace cva
