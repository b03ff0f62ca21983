#pragma once

// The tolerance band on the gain plot: the range all runs cover shaded
// faintly, the range of the middle 90% of them more strongly, both behind
// the live curve.

#include <QPainter>

#include "document/Tolerance.h"
#include "plot/PlotGeometry.h"
#include "plot/PlotScale.h"

namespace cva {

void DrawToleranceBand(QPainter &painter, const TPlotGeometry &geometry, const TPlotScale &scale,
                       const TToleranceBand &band, TColor liveColour);

} // namespace cva
