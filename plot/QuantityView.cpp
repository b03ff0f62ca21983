#include "plot/QuantityView.h"

#include <QFontMetrics>
#include <QMouseEvent>
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
    painter.setPen(pen);
    DrawTraceLine(painter, trace, [&](int k) {
        return QPoint(gridX[k], axis.ToY(trace[k], geometry.FrameTop, geometry.FrameBottom()));
    });
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

void RenderQuantityPlot(QPainter &painter, QSize size, const TTraceStore &store, TQuantity quantity,
                        bool phaseAutoScale, TColor liveColour, bool legend)
{
    const TValueAxis axis = QuantityAxis(quantity, store, phaseAutoScale);
    const TPlotGeometry geometry = QuantityGeometry(size, axis, painter.device());
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
    if (legend) {
        // Kept off this quantity's curves, as the gain plot's is off the gains.
        const TTraceStore shown = QuantityStore(store, quantity);
        const auto points = ShownTracePoints(
            shown, [&](int slot, int k) { return QPoint(gridX[k], axis.ToY(shown.Traces[slot][k], top, bottom)); });
        painter.save();
        painter.setFont(PlotLabelFont());
        DrawLegend(painter, QRect(QPoint(geometry.FrameLeft, top), QPoint(geometry.FrameRight(), bottom)),
                   LegendEntries(store, [&](int slot) { return ScreenTracePen(store, slot, liveColour); }), points,
                   ToQColor(clSilver), ToQColor(clBlack));
        painter.restore();
    }
}

TQuantityView::TQuantityView(const TTraceStore &store, std::function<TColor()> liveColour, QWidget *parent)
    : QWidget(parent), FStore(store), FLiveColour(std::move(liveColour))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
}

void TQuantityView::SetQuantity(TQuantity quantity)
{
    FQuantity = quantity;
    update();
}

void TQuantityView::SetPhaseAutoScale(bool on)
{
    FPhaseAutoScale = on;
    update();
}

void TQuantityView::SetShowLegend(bool show)
{
    FShowLegend = show;
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
    RenderQuantityPlot(painter, size(), FStore, FQuantity, FPhaseAutoScale, FLiveColour(), FShowLegend);
    if (!FNotice.isEmpty())
        DrawPlotNotice(painter, QuantityGeometry(size(), QuantityAxis(FQuantity, FStore, FPhaseAutoScale), this),
                       FNotice);
    // The live trace may have changed under a resting pointer.
    UpdateReadout();
}

void TQuantityView::mouseMoveEvent(QMouseEvent *event)
{
    FPointer = event->position().toPoint();
    UpdateReadout();
    QWidget::mouseMoveEvent(event);
}

void TQuantityView::leaveEvent(QEvent *event)
{
    FPointer.reset();
    UpdateReadout();
    QWidget::leaveEvent(event);
}

void TQuantityView::UpdateReadout()
{
    QString text;
    QString box;
    if (FPointer) {
        const TPlotGeometry geometry =
            QuantityGeometry(size(), QuantityAxis(FQuantity, FStore, FPhaseAutoScale), this);
        if (geometry.InFrame(FPointer->x(), FPointer->y())) {
            text = LiveReadoutText(FStore, geometry.XToFreq(FPointer->x()));
            box = CurvesReadoutText(FStore, geometry.XToFreq(FPointer->x()));
        }
    }
    if (text == FReadout)
        return;
    FReadout = text;
    emit CursorReadout(text);
    ShowCurvesReadout(this, FPointer.value_or(QPoint()), box);
}

} // namespace cva
