#pragma once

// Draws the plot on any QPainter in logical pixels: the screen widget, an
// image or a vector file all get the same picture.

#include <functional>

#include <QPoint>
#include <QSize>

#include "models/Calc.h"
#include "plot/PlotGeometry.h"
#include "plot/PlotScale.h"

class QPainter;

namespace cva {

// Black fill, dB and frequency grid, frame, axis labels and the snapshot
// traces (slots 1 .. TraceCount - 1) in their own colours.
void DrawBackground(QPainter &painter, const TPlotGeometry &geometry, const TGridX &gridX,
                    const TPlotScale &scale, const TTraceStore &store);

// One trace as a 1-pixel line; non-finite points leave a gap.
void DrawTrace(QPainter &painter, const TPlotGeometry &geometry, const TGridX &gridX, const TPlotScale &scale,
               const TTrace &trace, TColor colour);

// The polyline of a trace through the device points pointAt(k) of its grid
// points, broken where a gain is not finite. Shared by screen and print.
void DrawTraceLine(QPainter &painter, const TTrace &trace, const std::function<QPoint(int)> &pointAt);

// The whole plot at the given size: fits the scale to the store, then draws
// the background and the live trace (slot 0) in liveColour on top.
void RenderPlot(QPainter &painter, QSize size, const TTraceStore &store, TPlotScale &scale, TColor liveColour);

} // namespace cva
