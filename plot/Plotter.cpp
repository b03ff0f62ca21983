#include "plot/Plotter.h"

#include <QFontMetrics>
#include <QPainter>

#include "plot/BandPainter.h"
#include "plot/CursorReadout.h"
#include "plot/PlotLegend.h"
#include "plot/PlotMarkers.h"
#include "plot/PlotPainter.h"
#include "plot/TracePens.h"

namespace cva {

TPlotter::TPlotter(TTraceStore &store, TPlotScale &scale, QWidget *parent)
    : TNavigableView(FExtras.Window,
                     [this] {
                         // The grid columns and the cached picture move with the window.
                         BuildGridX();
                         FBackgroundValid = false;
                         update();
                     },
                     parent),
      FStore(store), FScale(scale)
{
    KeepLegendAt(FExtras.LegendAt);
    BuildGridX();
    // A snapshot taken before the first paint (a file opened at start-up)
    // takes the live colour, not black on the black plot.
    FStore.TraceColours[0] = FTraceColour;
}

TPlotGeometry TPlotter::Geometry() const
{
    return Windowed(PlotGeometry(size(), ShownScale(), QFontMetrics(PlotLabelFont(), this)), FExtras.Window);
}

TPlotScale TPlotter::ShownScale() const
{
    return WindowedScale(FScale, FExtras.Window);
}

TSpan TPlotter::StartY() const
{
    return ScaleSpan(FScale);
}

void TPlotter::BuildGridX()
{
    FGridX = cva::BuildGridX(Geometry());
}

int TPlotter::FreqToX(double frequency) const
{
    return Geometry().FreqToX(frequency);
}

int TPlotter::DBToY(double db) const
{
    return Geometry().DBToY(db, ShownScale());
}

void TPlotter::UpdateYRange()
{
    // Labels of another scale may need a wider margin, which moves the grid.
    if (cva::UpdateYRange(FScale, FStore)) {
        BuildGridX();
        FBackgroundValid = false;
    }
}

void TPlotter::DrawBackground()
{
    // Drawn at the screen's pixel density, so lines and text stay sharp on
    // high-resolution screens while the geometry stays in logical pixels.
    const qreal ratio = devicePixelRatioF();
    FBackground = QPixmap(size() * ratio);
    FBackground.setDevicePixelRatio(ratio);
    if (!FBackground.isNull()) { // a widget without area has nothing to draw
        QPainter painter(&FBackground);
        cva::DrawBackground(painter, Geometry(), FGridX, ShownScale(), FStore, FTraceColour);
    }
    FBackgroundValid = true;
}

void TPlotter::SetTraceColour(TColor colour)
{
    // Which snapshots share the live colour, and so are dashed, may change.
    if (colour != FTraceColour)
        FBackgroundValid = false;
    FTraceColour = colour;
}

void TPlotter::SetShowMarkers(bool show)
{
    FExtras.Markers = show;
    ForgetReadout(); // the readout box gains or loses the markers
    update();
}

void TPlotter::SetToleranceBand(const TToleranceBand *band)
{
    FExtras.Band = band;
    update();
}

void TPlotter::SetShowLegend(bool show)
{
    FExtras.Legend = show;
    update();
}

void TPlotter::SetNotice(const QString &notice)
{
    FNotice = notice;
    update();
}

void TPlotter::NextColour()
{
    FColourIndex = (FColourIndex + 1) % int(PlotColours.size());
    SetTraceColour(PlotColours[FColourIndex]);
    repaint();
}

void TPlotter::paintEvent(QPaintEvent *)
{
    UpdateYRange();
    // Moving to a screen of another pixel density also makes the cache stale.
    if (!FBackgroundValid || FBackground.devicePixelRatio() != devicePixelRatioF())
        DrawBackground();

    // Qt already double-buffers widgets, so the live trace goes straight
    // onto the widget over the copied background.
    QPainter painter(this);
    painter.drawPixmap(0, 0, FBackground);
    // A snapshot takes over the colour the live trace was last shown in.
    FStore.TraceColours[0] = FTraceColour;
    const TPlotGeometry geometry = Geometry();
    const TPlotScale scale = ShownScale();
    if (FExtras.Band)
        DrawToleranceBand(painter, geometry, scale, *FExtras.Band, FTraceColour);
    DrawTrace(painter, geometry, FGridX, scale, FStore.Traces[0], ScreenTracePen(FStore, 0, FTraceColour));
    if (FExtras.Markers)
        DrawMarkers(painter, geometry, scale, FindCurveMarkers(FStore.Traces[0]), MarkerColour());
    if (FExtras.Legend)
        SetLegendBox(DrawPlotLegend(painter, geometry, FGridX, scale, FStore, FTraceColour, FExtras.LegendAt));
    else
        SetLegendBox(QRect());
    DrawPlotNotice(painter, geometry, FNotice);
    PaintBand(painter);

    // The live trace may have changed under a resting pointer.
    UpdateReadout();
}

void TPlotter::resizeEvent(QResizeEvent *event)
{
    // The window resizes this widget rather than re-creating it, so the
    // grid columns and the cache follow the new size here; the live colour
    // and the colour cycle stay as they are.
    BuildGridX();
    FBackgroundValid = false;
    QWidget::resizeEvent(event);
}

QString TPlotter::ReadoutAt(QPoint point) const
{
    const TPlotGeometry geometry = Geometry();
    if (!geometry.InFrame(point.x(), point.y()))
        return {};
    return LiveReadoutText(FStore, geometry.XToFreq(point.x()));
}

void TPlotter::UpdateReadout()
{
    const std::optional<QPoint> &pointer = Pointer();
    const QString text = pointer ? ReadoutAt(*pointer) : QString();
    if (!SayReadout(text))
        return;
    QString box;
    if (!text.isEmpty()) {
        QStringList lines{CurvesReadoutText(FStore, Geometry().XToFreq(pointer->x()))};
        if (FExtras.Markers)
            lines << MarkerLines(FindCurveMarkers(FStore.Traces[0]));
        lines.removeAll(QString());
        box = lines.join(QLatin1Char('\n'));
    }
    ShowCurvesReadout(this, pointer.value_or(QPoint()), box);
}

} // namespace cva
