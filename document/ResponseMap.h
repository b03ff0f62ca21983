#pragma once

// Engine curves of the active page: the five quantities at the circuit's
// resolution, and response maps, the gain at every position of one slider
// or of two sliders.

#include <vector>

#include "document/Circuit.h"
#include "models/NodalEngine.h"

namespace cva {

constexpr int MapPositions = SliderMaximum + 1;

// The active page through the circuit engine at the circuit's resolution.
void CalcEngineCurves(const TCircuit &circuit, TResponseCurves &curves);

// Gain curves for positions 0 .. 100 of a control, the others where they
// are. Throws when the active page does not use the control.
std::vector<TTrace> CalcResponseMap(const TCircuit &circuit, int control, int step);

// Gain curves for every pair of positions: element [a * MapPositions + b]
// has 'first' at a and 'second' at b.
std::vector<TTrace> CalcResponseMap(const TCircuit &circuit, int first, int second, int step);

} // namespace cva
