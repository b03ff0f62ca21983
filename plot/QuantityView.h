#pragma once

// The plot of phase, group delay or input impedance over frequency: the
// same frame, frequency axis and colours as the gain plot, with every trace
// in use, the live one on top.

#include <functional>
#include <optional>

#include <QSize>
#include <QString>

#include "models/Calc.h"
#include "plot/PlotGeometry.h"
#include "plot/PlotPainter.h"
#include "plot/NavigableView.h"
#include "plot/QuantityAxis.h"

class QPaintDevice;
class QPainter;

namespace cva {

// The axis title shown in the frame's corner, as "Phase".
QString QuantityName(TQuantity quantity);

// The frame of a quantity plot of the given size, with margins for its labels.
TPlotGeometry QuantityGeometry(QSize size, const TValueAxis &axis, const QPaintDevice *device);

// A quantity plot's axis and frame as its window shows them, and the span
// up of its start view.
struct TQuantityFrame {
    TValueAxis Axis;
    TPlotGeometry Geometry;
    TSpan Start;
};
TQuantityFrame QuantityFrame(QSize size, const TTraceStore &store, TQuantity quantity, bool phaseAutoScale,
                             const TViewWindow &window, const QPaintDevice *device);

// The whole plot at the given size on any painter, in the part its window
// shows, with the legend of the gain plot unless it is hidden. Returns the
// legend's box, empty when none is drawn. Markers and band are the gain
// plot's only.
QRect RenderQuantityPlot(QPainter &painter, QSize size, const TTraceStore &store, TQuantity quantity,
                         bool phaseAutoScale, TColor liveColour, const TPlotExtras &extras = {});

class TQuantityView : public TNavigableView {
    Q_OBJECT

public:
    // The store belongs to the window and outlives the view; liveColour
    // tells the live trace's present colour.
    TQuantityView(const TTraceStore &store, std::function<TColor()> liveColour, QWidget *parent = nullptr);

    void SetQuantity(TQuantity quantity);
    TQuantity Quantity() const { return FQuantity; }
    void SetPhaseAutoScale(bool on);
    void SetShowLegend(bool show);
    // What the view shows besides its curves: the legend and its place, and
    // the window zoomed to.
    const TPlotExtras &Extras() const { return FExtras; }
    TQuantityFrame Frame() const;
    // Why there is no live curve, said in the plot area; empty when there is one.
    void SetNotice(const QString &notice);
    const QString &Notice() const { return FNotice; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    TPlotGeometry ViewFrame() const override { return Frame().Geometry; }
    TSpan StartY() const override { return Frame().Start; }
    // Frequency, gain, phase and group delay of the live trace.
    void UpdateReadout() override;

    const TTraceStore &FStore;
    std::function<TColor()> FLiveColour;
    TQuantity FQuantity = TQuantity::Phase;
    bool FPhaseAutoScale = false;
    TPlotExtras FExtras;
    QString FNotice;
};

} // namespace cva
