#pragma once

// Draws the plot on any QPainter in logical pixels: the screen widget, an
// image or a vector file all get the same picture.

#include <functional>
#include <optional>
#include <vector>

#include <QFont>
#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QSize>
#include <QString>

#include "models/Calc.h"
#include "plot/PlotGeometry.h"
#include "plot/PlotScale.h"
#include "plot/ViewWindow.h"

class QFontMetrics;
class QPen;
class QPainter;

namespace cva {

struct TToleranceBand;

// What a plot shows besides its curves, as Plot > Markers, Plot > Legend and
// Plot > Tolerance band choose: the live curve's markers (on the gain plot),
// the legend and the band behind the live curve, which belongs to the window.
struct TPlotExtras {
    bool Markers = false;
    bool Legend = true;
    // Where the user dragged the legend (see DrawLegend); the freest corner when empty.
    std::optional<QPointF> LegendAt;
    const TToleranceBand *Band = nullptr;
    // The part of the plot shown, zoomed and panned by the user.
    TViewWindow Window{GridViewLimits(LeastDBSpan)};
};

// Draws a picture of one of the plot's views at the given logical size.
using TPlotRender = std::function<void(QPainter &painter, QSize size)>;

// The face of the axis labels.
QFont PlotLabelFont();

// A horizontal line of the value grid, and a label of the value axis, at
// the y pixel of the value they stand for.
struct TGridLine {
    int Y;
    bool Major;
};
struct TGridLabel {
    QString Text;
    int Y;
};

// The plot's frame for a picture of the given size, with margins wide
// enough for the labels of the scale in that font.
TPlotGeometry PlotGeometry(QSize size, const TPlotScale &scale, const QFontMetrics &labelMetrics);
// The same for any value axis, given the texts of its labels.
TPlotGeometry PlotGeometry(QSize size, const std::vector<QString> &valueLabels, const QFontMetrics &labelMetrics);

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
// The same for any value axis, its labels offered in the order given.
std::vector<TPlotLabel> PlotLabels(const TPlotGeometry &geometry, const std::vector<TGridLabel> &valueLabels,
                                   const QFontMetrics &labelMetrics);

// Black fill, the value lines in their order (minor grey, major silver), the
// frequency grid, the frame and the labels that fit.
void DrawGrid(QPainter &painter, const TPlotGeometry &geometry, const std::vector<TGridLine> &lines,
              const std::vector<TGridLabel> &labels);

// Black fill, dB and frequency grid, frame, axis labels and the shown
// snapshot traces (slots 1 .. TraceCount - 1) in their own pens, told
// apart from the live trace in liveColour.
void DrawBackground(QPainter &painter, const TPlotGeometry &geometry, const TGridX &gridX,
                    const TPlotScale &scale, const TTraceStore &store, TColor liveColour);

// One trace as an antialiased line in the pen; non-finite points leave a gap.
void DrawTrace(QPainter &painter, const TPlotGeometry &geometry, const TGridX &gridX, const TPlotScale &scale,
               const TTrace &trace, const QPen &pen);

// The polyline of a trace through the device points pointAt(k) of its grid
// points, broken where a gain is not finite. Shared by screen and print.
void DrawTraceLine(QPainter &painter, const TTrace &trace, const std::function<QPointF(int)> &pointAt);

// Keeps what the painter draws next inside the plot's frame, as curves that
// run out of a zoomed view must be.
void ClipToFrame(QPainter &painter, const TPlotGeometry &geometry);

// The whole plot at the given size: fits the scale to the store, then draws
// the background, the live trace (slot 0) in liveColour on top, and the
// extras asked for, all in the part of the plot that extras' window shows.
void RenderPlot(QPainter &painter, QSize size, const TTraceStore &store, TPlotScale &scale, TColor liveColour,
                TPlotExtras extras = {});

// Any view under a title line (the page and the control settings, for
// pictures that leave the program), all in the given size; without a title
// the view alone.
void RenderTitled(QPainter &painter, QSize size, const QString &title, const TPlotRender &render);
// The gain plot as a picture, on a copy of the scale; the store must
// outlive the picture.
TPlotRender GainPlotRender(const TTraceStore &store, const TPlotScale &scale, TColor liveColour,
                           TPlotExtras extras = {});

// One line across the middle of the frame on a dark backing, cut short with an
// ellipsis: why a view has no live curve.
void DrawPlotNotice(QPainter &painter, const TPlotGeometry &geometry, const QString &notice);

// The colour of the markers on the black plot.
QColor MarkerColour();

} // namespace cva
