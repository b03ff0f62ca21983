#pragma once

// The legend of the plot: which line is which trace. It lists the live trace
// and every shown snapshot by label, and sits in the corner of the frame
// where it covers the fewest points of the curves.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <QColor>
#include <QPen>
#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QString>

#include "models/Calc.h"
#include "plot/PlotGeometry.h"
#include "plot/PlotScale.h"

class QPainter;

namespace cva {

struct TLegendEntry {
    QString Label;
    QPen Pen; // a sample of the trace's line
};

// A curve's name in the legend and the readout: a snapshot's label, the
// live curve as "Live" or "JCM800 2203 (live)".
QString CurveLabel(const TTraceStore &store, int slot);

// The table of the shown curves, one column each named as in the legend,
// live first: what Copy data and the exported table hold.
std::string ShownCurvesTable(const TTraceStore &store, char separator);

// The live trace first, then the shown snapshots, newest first. Empty when
// no snapshot is shown: a lone curve needs no legend.
std::vector<TLegendEntry> LegendEntries(const TTraceStore &store, const std::function<QPen(int slot)> &penOf);

// The device points of every shown trace, for placing the legend.
std::vector<QPoint> ShownTracePoints(const TTraceStore &store, const std::function<QPoint(int slot, int k)> &pointAt);

// Draws the entries in a box inside the frame, in the painter's font, and
// returns the box (empty when there are no entries). Of the four corners it
// takes the one whose box covers the fewest curve points, the top right on
// a tie; or, where the user dragged it, the place 'at': its top left corner
// as a fraction of the frame's width and height, kept inside the frame.
QRect DrawLegend(QPainter &painter, const QRect &frame, const std::vector<TLegendEntry> &entries,
                 const std::vector<QPoint> &curvePoints, const QColor &textColour, const QColor &fill,
                 std::optional<QPointF> at = std::nullopt);

// The legend of the plot on screen and in exported pictures.
QRect DrawPlotLegend(QPainter &painter, const TPlotGeometry &geometry, const TGridX &gridX, const TPlotScale &scale,
                     const TTraceStore &store, TColor liveColour, std::optional<QPointF> at = std::nullopt);

} // namespace cva
