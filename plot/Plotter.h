#pragma once

// The plot widget of the main window: the live trace over a cached picture
// of grid, labels and snapshot traces.

#include <optional>

#include <QPixmap>
#include <QPoint>
#include <QString>

#include "models/Calc.h"
#include "plot/PlotColours.h"
#include "plot/PlotGeometry.h"
#include "plot/PlotPainter.h"
#include "plot/PlotScale.h"
#include "plot/NavigableView.h"

namespace cva {

class TPlotter : public TNavigableView {
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
    bool BackgroundValid() const { return FBackgroundValid; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    TPlotGeometry ViewFrame() const override { return Geometry(); }
    TSpan StartY() const override;
    QString ReadoutAt(QPoint point) const;
    void UpdateReadout() override;

    TTraceStore &FStore;
    TPlotScale &FScale;
    QPixmap FBackground;
    bool FBackgroundValid = false;
    TGridX FGridX{};
    int FColourIndex = 0;
    TColor FTraceColour = clLime;
    TPlotExtras FExtras;
    QString FNotice;
};

} // namespace cva
