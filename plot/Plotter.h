#pragma once

// The plot widget of the main window: the live trace over a cached picture
// of grid, labels and snapshot traces.

#include <optional>

#include <QPixmap>
#include <QPoint>
#include <QString>
#include <QWidget>

#include "models/Calc.h"
#include "plot/LegendDrag.h"
#include "plot/PlotColours.h"
#include "plot/PlotGeometry.h"
#include "plot/PlotPainter.h"
#include "plot/PlotScale.h"
#include "plot/ViewNavigator.h"

namespace cva {

class TPlotter : public QWidget {
    Q_OBJECT

public:
    // The store and the scale belong to the window and outlive the widget.
    TPlotter(TTraceStore &store, TPlotScale &scale, QWidget *parent = nullptr);

    // Recomputes the x pixel of every grid step for the current width.
    void BuildGridX();
    int FreqToX(double frequency) const;
    int DBToY(double db) const;
    // Fits the scale; a change makes the cached background stale.
    void UpdateYRange();
    // Redraws the cached background now, for example after a snapshot.
    void DrawBackground();
    // Plot > Markers: the live curve's peak, notch and -3 dB points, on the
    // plot and in the readout; Plot > Legend.
    void SetShowMarkers(bool show);
    void SetShowLegend(bool show);
    // The legend's box as last painted; empty when none is shown.
    QRect LegendBox() const { return FLegendBox; }
    // Plot > Tolerance band: drawn behind the live curve; null for none. The
    // band belongs to the window and outlives the widget's use of it.
    void SetToleranceBand(const TToleranceBand *band);
    TPlotExtras Extras() const { return FExtras; }
    // Why there is no live curve, said in the plot area; empty when there is one.
    void SetNotice(const QString &notice);
    const QString &Notice() const { return FNotice; }
    // Moves the live trace to the next colour of the cycle and repaints at once.
    void NextColour();

    TColor TraceColour() const { return FTraceColour; }
    // Takes effect at the next paint; the colour cycle keeps its place.
    void SetTraceColour(TColor colour);
    int ColourIndex() const { return FColourIndex; }
    // The frame at the widget's size, scale and label font, across the
    // frequencies the view shows.
    TPlotGeometry Geometry() const;
    // The dB range shown: the fitted scale, or the part of it zoomed to.
    TPlotScale ShownScale() const;
    // Plot > Reset view: back to the whole plot on the fitted scale.
    void ResetView();
    bool BackgroundValid() const { return FBackgroundValid; }

signals:
    // Frequency and live gain under the mouse pointer, or an empty text when
    // the pointer is not over the frame.
    void CursorReadout(const QString &text);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    QString ReadoutAt(QPoint point) const;
    void UpdateReadout();

    TTraceStore &FStore;
    TPlotScale &FScale;
    QPixmap FBackground;
    bool FBackgroundValid = false;
    TGridX FGridX{};
    int FColourIndex = 0;
    TColor FTraceColour = clLime;
    TPlotExtras FExtras;
    std::optional<QPoint> FPointer;
    QString FReadout;
    QString FNotice;
    QRect FLegendBox; // as last painted
    TLegendDrag FLegendDrag;
    TViewNavigator FNavigator;
};

} // namespace cva
