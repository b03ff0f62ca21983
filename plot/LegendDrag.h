#pragma once

// Dragging a view's legend with the left mouse button, the same in every
// view. The place is kept as a share of the frame (see DrawLegend), so that
// the legend stays put when the view is resized or drawn at another size.

#include <optional>

#include <QPoint>
#include <QPointF>
#include <QRect>

#include "plot/PlotGeometry.h"

class QMouseEvent;
class QWidget;

namespace cva {

class TLegendDrag {
public:
    // Each returns true when it used the event: a press on the legend's box
    // as last painted, and the moves and release that follow it.
    bool Press(QWidget &view, const QMouseEvent &event, const QRect &legendBox);
    // Sets 'at' to the legend's new place in the frame.
    bool Move(const QMouseEvent &event, const TPlotGeometry &geometry, std::optional<QPointF> &at) const;
    bool Release(QWidget &view, const QMouseEvent &event);

private:
    // The pointer's offset from the legend's corner while it is dragged.
    std::optional<QPoint> FGrab;
};

} // namespace cva
