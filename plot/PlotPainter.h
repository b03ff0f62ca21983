#pragma once

// Draws the plot on any QPainter in logical pixels: the screen widget, an
// image or a vector file all get the same picture.

#include <functional>
#include <vector>

#include <QFont>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include "models/Calc.h"
#include "plot/PlotGeometry.h"
#include "plot/PlotScale.h"

class QFontMetrics;
class QPainter;

namespace cva {

// The face of the axis labels.
QFont PlotLabelFont();

// The plot's frame for a picture of the given size, with margins wide
// enough for the labels of the scale in that font.
TPlotGeometry PlotGeometry(QSize size, const TPlotScale &scale, const QFontMetrics &labelMetrics);

// An axis label and the box its glyphs cover (digits and capitals, which
// reach no lower than the base line).
struct TPlotLabel {
    QString Text;
    QRect Box;
};

// The dB labels from the bottom of the scale up, then the decade labels,
// keeping only those that lie wholly inside the picture and clear of every
// label kept before them.
std::vector<TPlotLabel> PlotLabels(const TPlotGeometry &geometry, const TPlotScale &scale,
                                   const QFontMetrics &labelMetrics);

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

// The whole plot under a title line (the topology and slider settings, for
// pictures that leave the program), all in the given size.
void RenderTitledPlot(QPainter &painter, QSize size, const QString &title, const TTraceStore &store,
                      TPlotScale &scale, TColor liveColour);

} // namespace cva
