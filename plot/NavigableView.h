#pragma once

// The widget under the gain, quantity and map views. It takes the mouse and
// the keys that move the view's window (see TViewNavigator), drags the
// view's legend where it has one, and keeps the pointer's place for the
// readout, so that a view says only where its frame is and what lies under
// the pointer.

#include <functional>
#include <optional>

#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QString>
#include <QWidget>

#include "plot/LegendDrag.h"
#include "plot/PlotGeometry.h"
#include "plot/ViewNavigator.h"
#include "plot/ViewWindow.h"

namespace cva {

class TNavigableView : public QWidget {
    Q_OBJECT

public:
    // Plot > Reset view: back to the whole plot.
    void ResetView();
    // The legend's box as last painted; empty when none is shown.
    QRect LegendBox() const { return FLegendBox; }

signals:
    // What lies under the mouse pointer, or an empty text when the pointer
    // is not over the frame.
    void CursorReadout(const QString &text);

protected:
    // The window belongs to the view; 'changed' follows each move of it.
    TNavigableView(TViewWindow &window, std::function<void()> changed, QWidget *parent);

    // The frame as the view draws it now, and its start view up.
    virtual TPlotGeometry ViewFrame() const = 0;
    virtual TSpan StartY() const = 0;
    // Works out the readout at Pointer() and passes it to SayReadout.
    virtual void UpdateReadout() = 0;

    const std::optional<QPoint> &Pointer() const { return FPointer; }
    // Emits CursorReadout when the text differs from the last one, and
    // then returns true.
    bool SayReadout(const QString &text);
    // The next readout is said even when its text is the same.
    void ForgetReadout() { FReadout.clear(); }
    // A view with a legend names the place it keeps it at, and after each
    // paint the box it drew it in.
    void KeepLegendAt(std::optional<QPointF> &at) { FLegendAt = &at; }
    void SetLegendBox(QRect box) { FLegendBox = box; }
    // The zoom rectangle while it is dragged, over the painted view.
    void PaintBand(QPainter &painter) const { FNavigator.PaintBand(painter); }

    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    TViewNavigator FNavigator;
    TLegendDrag FLegendDrag;
    std::optional<QPointF> *FLegendAt = nullptr;
    QRect FLegendBox;
    std::optional<QPoint> FPointer;
    QString FReadout;
};

} // namespace cva
