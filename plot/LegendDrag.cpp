#include "plot/LegendDrag.h"

#include <QMouseEvent>
#include <QWidget>

namespace cva {

bool TLegendDrag::Press(QWidget &view, const QMouseEvent &event, const QRect &legendBox)
{
    const QPoint at = event.position().toPoint();
    if (event.button() != Qt::LeftButton || !legendBox.contains(at))
        return false;
    FGrab = at - legendBox.topLeft();
    view.setCursor(Qt::ClosedHandCursor);
    return true;
}

bool TLegendDrag::Move(const QMouseEvent &event, const TPlotGeometry &geometry, std::optional<QPointF> &at) const
{
    if (!FGrab)
        return false;
    const QPoint corner = event.position().toPoint() - *FGrab;
    const double width = geometry.FrameRight() - geometry.FrameLeft + 1;
    const double height = geometry.FrameBottom() - geometry.FrameTop + 1;
    at = QPointF((corner.x() - geometry.FrameLeft) / width, (corner.y() - geometry.FrameTop) / height);
    return true;
}

bool TLegendDrag::Release(QWidget &view, const QMouseEvent &event)
{
    if (!FGrab || event.button() != Qt::LeftButton)
        return false;
    FGrab.reset();
    view.unsetCursor();
    return true;
}

} // namespace cva
