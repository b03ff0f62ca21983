#include "plot/NavigableView.h"

#include <QMouseEvent>

namespace cva {

TNavigableView::TNavigableView(TViewWindow &window, std::function<void()> changed, QWidget *parent)
    : QWidget(parent), FNavigator(window, std::move(changed))
{
    // Every paint covers the whole widget, so nothing needs erasing first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    // The arrow keys pan the view once it is clicked or reached with Tab.
    setFocusPolicy(Qt::StrongFocus);
}

void TNavigableView::ResetView()
{
    FNavigator.Reset();
}

bool TNavigableView::SayReadout(const QString &text)
{
    if (text == FReadout)
        return false;
    FReadout = text;
    emit CursorReadout(text);
    return true;
}

void TNavigableView::mousePressEvent(QMouseEvent *event)
{
    const bool onLegend = FLegendAt && FLegendDrag.Press(*this, *event, FLegendBox);
    if (!onLegend && !FNavigator.Press(*event, ViewFrame()))
        QWidget::mousePressEvent(event);
}

void TNavigableView::mouseMoveEvent(QMouseEvent *event)
{
    if (FLegendAt && FLegendDrag.Move(*event, ViewFrame(), *FLegendAt)) {
        update();
        return;
    }
    FPointer = event->position().toPoint();
    UpdateReadout();
    if (!FNavigator.Move(*event))
        QWidget::mouseMoveEvent(event);
}

void TNavigableView::mouseReleaseEvent(QMouseEvent *event)
{
    const bool onLegend = FLegendAt && FLegendDrag.Release(*this, *event);
    if (!onLegend && !FNavigator.Release(*event, ViewFrame(), StartY()))
        QWidget::mouseReleaseEvent(event);
}

void TNavigableView::wheelEvent(QWheelEvent *event)
{
    if (!FNavigator.Wheel(*event, ViewFrame(), StartY()))
        QWidget::wheelEvent(event);
}

void TNavigableView::keyPressEvent(QKeyEvent *event)
{
    if (!FNavigator.Key(*event, StartY()))
        QWidget::keyPressEvent(event);
}

void TNavigableView::leaveEvent(QEvent *event)
{
    FPointer.reset();
    UpdateReadout();
    QWidget::leaveEvent(event);
}

} // namespace cva
