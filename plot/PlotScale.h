#pragma once

// The dB scale of the plot: fixed at 0 .. -50 dB, or fitted to the traces.
// One scale is shared by every plot so that it survives re-creating the
// widget and applies to exported pictures too. A zoomed view shows a part
// of it (WindowedScale), so its ends need not be whole dB.

#include "models/Calc.h"
#include "plot/ViewWindow.h"

namespace cva {

// The least span of dB a zoomed gain plot shows.
constexpr double LeastDBSpan = 0.1;

struct TPlotScale {
    double PlotTopDB = 0;
    double PlotBottomDB = -50;
    double PlotRangeDB = 50;
    bool AutoYScale = false;
};

// Sets the scale for the traces in use. Returns true when the top or the
// bottom moved, so that a cached picture of the grid is out of date.
bool UpdateYRange(TPlotScale &scale, const TTraceStore &store);

// The scale as a window shows it: its span up, from the bottom to the top.
TSpan ScaleSpan(const TPlotScale &scale);
TPlotScale WindowedScale(const TPlotScale &scale, const TViewWindow &window);

} // namespace cva
