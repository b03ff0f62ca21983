#pragma once

// The dB scale of the plot: fixed at 0 .. -50 dB, or fitted to the traces.
// One scale is shared by every plot so that it survives re-creating the
// widget and applies to exported pictures too.

#include "models/Calc.h"

namespace cva {

struct TPlotScale {
    int PlotTopDB = 0;
    int PlotBottomDB = -50;
    int PlotRangeDB = 50;
    bool AutoYScale = false;
};

// Sets the scale for the traces in use. Returns true when the top or the
// bottom moved, so that a cached picture of the grid is out of date.
bool UpdateYRange(TPlotScale &scale, const TTraceStore &store);

} // namespace cva
