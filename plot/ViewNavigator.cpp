#include "plot/ViewNavigator.h"

#include <cmath>

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPen>
#include <QWheelEvent>

namespace cva {

namespace {

// Each notch of the wheel shows this share of the span.
constexpr double NotchZoom = 0.8;
constexpr double PanStep = 0.1;
// A shorter drag is taken as a click, not as a rectangle.
constexpr int LeastDrag = 4;

} // namespace

TViewNavigator::TViewNavigator(TViewWindow &window, std::function<void()> changed)
    : FWindow(window), FChanged(std::move(changed))
{
}

bool TViewNavigator::Wheel(QWheelEvent &event, const TPlotGeometry &frame, TSpan startY)
{
    const QPoint at = event.position().toPoint();
    const int eighths = event.angleDelta().y();
    if (!(event.modifiers() & Qt::ControlModifier) || eighths == 0 || !frame.InFrame(at.x(), at.y()))
        return false;
    // Away from the user zooms in.
    FWindow.ZoomAbout(frame.XFraction(at.x()), frame.YFraction(at.y()), std::pow(NotchZoom, eighths / 120.0), startY);
    FChanged();
    return true;
}

bool TViewNavigator::Press(QMouseEvent &event, const TPlotGeometry &frame)
{
    const QPoint at = event.position().toPoint();
    if (event.button() != Qt::LeftButton || !frame.InFrame(at.x(), at.y()))
        return false;
    FFrom = at;
    FTo = at;
    return true;
}

bool TViewNavigator::Move(QMouseEvent &event)
{
    if (!FFrom)
        return false;
    FTo = event.position().toPoint();
    FChanged();
    return true;
}

bool TViewNavigator::Release(QMouseEvent &event, const TPlotGeometry &frame, TSpan startY)
{
    if (!FFrom || event.button() != Qt::LeftButton)
        return false;
    const QPoint from = *FFrom;
    const QPoint to = event.position().toPoint();
    FFrom.reset();
    if (std::abs(to.x() - from.x()) >= LeastDrag && std::abs(to.y() - from.y()) >= LeastDrag)
        FWindow.ZoomTo(frame.XFraction(from.x()), frame.YFraction(from.y()), frame.XFraction(to.x()),
                       frame.YFraction(to.y()), startY);
    FChanged();
    return true;
}

bool TViewNavigator::Key(QKeyEvent &event, TSpan startY)
{
    if (event.key() == Qt::Key_Escape) {
        // Lets go of a rectangle being dragged; the window stays as it was.
        if (!FFrom)
            return false;
        FFrom.reset();
        FChanged();
        return true;
    }
    double dx = 0;
    double dy = 0;
    switch (event.key()) {
    case Qt::Key_Left:
        dx = -PanStep;
        break;
    case Qt::Key_Right:
        dx = PanStep;
        break;
    case Qt::Key_Up:
        dy = PanStep;
        break;
    case Qt::Key_Down:
        dy = -PanStep;
        break;
    default:
        return false;
    }
    FWindow.Pan(dx, dy, startY);
    FChanged();
    return true;
}

void TViewNavigator::Reset()
{
    FFrom.reset();
    FWindow.Reset();
    FChanged();
}

void TViewNavigator::PaintBand(QPainter &painter) const
{
    if (!FFrom)
        return;
    painter.save();
    QPen pen(Qt::white, 0, Qt::DashLine);
    painter.setPen(pen);
    painter.setBrush(QColor(255, 255, 255, 40));
    painter.drawRect(QRect(*FFrom, FTo).normalized());
    painter.restore();
}

} // namespace cva
