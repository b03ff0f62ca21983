#include "plot/QuantityView.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPen>

#include "plot/CursorReadout.h"
#include "plot/PlotColours.h"
#include "plot/PlotLegend.h"
#include "plot/PlotPainter.h"
#include "plot/TracePens.h"

namespace cva {

namespace {

void DrawQuantityTrace(QPainter &painter, const TPlotGeometry &geometry, const TGridX &gridX,
                       const TValueAxis &axis, const TTrace &trace, const QPen &pen)
{
    painter.save();
    ClipToFrame(painter, geometry);
    painter.setPen(pen);
    DrawTraceLine(painter, trace, [&](int k) {
        return QPoint(gridX[k], axis.ToY(trace[k], geometry.FrameTop, geometry.FrameBottom()));
    });
    painter.restore();
}

} // namespace

QString QuantityName(TQuantity quantity)
{
    switch (quantity) {
    case TQuantity::Phase:
        return QStringLiteral("Phase");
    case TQuantity::GroupDelay:
        return QStringLiteral("Group delay");
    case TQuantity::Impedance:
        break;
    }
    return QStringLiteral("Input impedance");
}

TPlotGeometry QuantityGeometry(QSize size, const TValueAxis &axis, const QPaintDevice *device)
{
    std::vector<QString> texts;
    for (const TAxisLabel &label : axis.Labels)
        texts.push_back(label.Text);
    return PlotGeometry(size, texts, QFontMetrics(PlotLabelFont(), device));
}

TQuantityFrame QuantityFrame(QSize size, const TTraceStore &store, TQuantity quantity, bool phaseAutoScale,
                             const TViewWindow &window, const QPaintDevice *device)
{
    TQuantityFrame frame;
    frame.Start = AxisSpan(QuantityAxis(quantity, store, phaseAutoScale));
    frame.Axis = WindowedAxis(quantity, QuantityAxis(quantity, store, phaseAutoScale), window);
    frame.Geometry = Windowed(QuantityGeometry(size, frame.Axis, device), window);
    return frame;
}

QRect RenderQuantityPlot(QPainter &painter, QSize size, const TTraceStore &store, TQuantity quantity,
                         bool phaseAutoScale, TColor liveColour, const TPlotExtras &extras)
{
    const TQuantityFrame frame = QuantityFrame(size, store, quantity, phaseAutoScale, extras.Window, painter.device());
    const TValueAxis &axis = frame.Axis;
    const TPlotGeometry &geometry = frame.Geometry;
    const int top = geometry.FrameTop;
    const int bottom = geometry.FrameBottom();
    std::vector<TGridLine> lines;
    for (const TAxisLine &line : axis.Lines)
        lines.push_back({axis.ToY(line.Value, top, bottom), line.Major});
    // The axes list their labels from the bottom up, as the gain plot
    // offers them, so that the lowest wins where two would overlap.
    std::vector<TGridLabel> labels;
    for (const TAxisLabel &label : axis.Labels)
        labels.push_back({label.Text, axis.ToY(label.Value, top, bottom)});
    DrawGrid(painter, geometry, lines, labels);

    painter.save();
    painter.setFont(PlotLabelFont());
    painter.setPen(ToQColor(clSilver));
    const QFontMetrics metrics(PlotLabelFont(), painter.device());
    painter.drawText(geometry.FrameLeft + 4, top + 2 + metrics.ascent(), QuantityName(quantity));

    const TGridX gridX = BuildGridX(geometry);
    PrepareTracePainter(painter);
    // Newest first, so older snapshots lie on top of newer ones, and the
    // live trace over all.
    for (int t = 1; t < store.TraceCount; ++t)
        if (store.Shown(t))
            DrawQuantityTrace(painter, geometry, gridX, axis, QuantityTrace(store, quantity, t),
                              ScreenTracePen(store, t, liveColour));
    DrawQuantityTrace(painter, geometry, gridX, axis, QuantityTrace(store, quantity, 0),
                      ScreenTracePen(store, 0, liveColour));
    painter.restore();
    if (!extras.Legend)
        return {};
    // Kept off this quantity's curves, as the gain plot's is off the gains.
    const TTraceStore shown = QuantityStore(store, quantity);
    const auto points = ShownTracePoints(
        shown, [&](int slot, int k) { return QPoint(gridX[k], axis.ToY(shown.Traces[slot][k], top, bottom)); });
    painter.save();
    painter.setFont(PlotLabelFont());
    const QRect box =
        DrawLegend(painter, QRect(QPoint(geometry.FrameLeft, top), QPoint(geometry.FrameRight(), bottom)),
                   LegendEntries(store, [&](int slot) { return ScreenTracePen(store, slot, liveColour); }), points,
                   ToQColor(clSilver), ToQColor(clBlack), extras.LegendAt);
    painter.restore();
    return box;
}

TQuantityView::TQuantityView(const TTraceStore &store, std::function<TColor()> liveColour, QWidget *parent)
    : TNavigableView(FExtras.Window, [this] { update(); }, parent), FStore(store), FLiveColour(std::move(liveColour))
{
    KeepLegendAt(FExtras.LegendAt);
    FExtras.Window.SetLimits(QuantityViewLimits(FQuantity));
}

void TQuantityView::SetQuantity(TQuantity quantity)
{
    // Another quantity has other units up: it starts from the whole view.
    if (quantity != FQuantity)
        FExtras.Window.SetLimits(QuantityViewLimits(quantity));
    FQuantity = quantity;
    update();
}

TQuantityFrame TQuantityView::Frame() const
{
    return QuantityFrame(size(), FStore, FQuantity, FPhaseAutoScale, FExtras.Window, this);
}

void TQuantityView::SetPhaseAutoScale(bool on)
{
    FPhaseAutoScale = on;
    update();
}

void TQuantityView::SetShowLegend(bool show)
{
    FExtras.Legend = show;
    update();
}

void TQuantityView::SetNotice(const QString &notice)
{
    FNotice = notice;
    update();
}

void TQuantityView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    SetLegendBox(RenderQuantityPlot(painter, size(), FStore, FQuantity, FPhaseAutoScale, FLiveColour(), FExtras));
    DrawPlotNotice(painter, Frame().Geometry, FNotice);
    PaintBand(painter);
    // The live trace may have changed under a resting pointer.
    UpdateReadout();
}

void TQuantityView::UpdateReadout()
{
    QString text;
    QString box;
    const std::optional<QPoint> &pointer = Pointer();
    if (pointer) {
        const TPlotGeometry geometry = Frame().Geometry;
        if (geometry.InFrame(pointer->x(), pointer->y())) {
            text = LiveReadoutText(FStore, geometry.XToFreq(pointer->x()));
            box = CurvesReadoutText(FStore, geometry.XToFreq(pointer->x()));
        }
    }
    if (SayReadout(text))
        ShowCurvesReadout(this, pointer.value_or(QPoint()), box);
}

} // namespace cva
