#pragma once

// The mouse and keys that move a view's window, shared by every view: Ctrl
// with the wheel zooms about the pointer, a rectangle dragged with the left
// button zooms to it (Escape lets go of it), the arrow keys pan by a tenth
// of the view. The view passes its events on and draws the rectangle while
// it is dragged.

#include <functional>
#include <optional>

#include <QPoint>

#include "plot/PlotGeometry.h"
#include "plot/ViewWindow.h"

class QKeyEvent;
class QMouseEvent;
class QPainter;
class QWheelEvent;

namespace cva {

class TViewNavigator {
public:
    // The window belongs to the view; changed is called after each move of it.
    TViewNavigator(TViewWindow &window, std::function<void()> changed);

    // Each takes the view's frame and its start view up, and returns true
    // when it used the event.
    bool Wheel(QWheelEvent &event, const TPlotGeometry &frame, TSpan startY);
    bool Press(QMouseEvent &event, const TPlotGeometry &frame);
    bool Move(QMouseEvent &event);
    bool Release(QMouseEvent &event, const TPlotGeometry &frame, TSpan startY);
    bool Key(QKeyEvent &event, TSpan startY);
    void Reset();

    // The rectangle being dragged, if any.
    void PaintBand(QPainter &painter) const;

private:
    TViewWindow &FWindow;
    std::function<void()> FChanged;
    std::optional<QPoint> FFrom;
    QPoint FTo;
};

} // namespace cva
