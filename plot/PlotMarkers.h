#pragma once

// The live curve's markers on the gain plot and in the readout: its peak,
// its deepest notch and its -3 dB points, each with frequency and gain.

#include <QColor>
#include <QStringList>

#include "document/CurveMarkers.h"
#include "plot/PlotGeometry.h"
#include "plot/PlotScale.h"

class QPainter;

namespace cva {

// "Peak   23.7 Hz   -11.84 dB", then the notch and the -3 dB points.
QStringList MarkerLines(const TCurveMarkers &markers);

// A ring at the peak and the notch and a tick at each -3 dB point, each
// with a short label, in the colour given and the plot's label font.
void DrawMarkers(QPainter &painter, const TPlotGeometry &geometry, const TPlotScale &scale,
                 const TCurveMarkers &markers, const QColor &colour);

} // namespace cva
