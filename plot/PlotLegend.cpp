#include "plot/PlotLegend.h"

#include <algorithm>
#include <cmath>

#include <QFontMetrics>
#include <QPainter>

#include "document/TraceTable.h"
#include "plot/PlotColours.h"
#include "plot/PlotPainter.h"
#include "plot/TracePens.h"

namespace cva {

QString CurveLabel(const TTraceStore &store, int slot)
{
    const QString label = QString::fromStdString(store.Labels[slot]);
    if (slot > 0)
        return label;
    return label.isEmpty() ? QStringLiteral("Live") : label + QStringLiteral(" (live)");
}

std::string ShownCurvesTable(const TTraceStore &store, char separator)
{
    std::vector<TTableColumn> columns;
    for (int slot = 0; slot < store.TraceCount; ++slot)
        if (store.Shown(slot))
            columns.push_back({CurveLabel(store, slot).toStdString(), slot});
    return TraceTable(store, columns, separator);
}

std::vector<TLegendEntry> LegendEntries(const TTraceStore &store, const std::function<QPen(int slot)> &penOf)
{
    std::vector<TLegendEntry> entries;
    for (int slot = 1; slot < store.TraceCount; ++slot)
        if (store.Shown(slot))
            entries.push_back({CurveLabel(store, slot), penOf(slot)});
    if (!entries.empty())
        entries.insert(entries.begin(), {CurveLabel(store, 0), penOf(0)});
    return entries;
}

std::vector<QPoint> ShownTracePoints(const TTraceStore &store, const std::function<QPoint(int slot, int k)> &pointAt)
{
    std::vector<QPoint> points;
    for (int slot = 0; slot < store.TraceCount; ++slot)
        if (store.Shown(slot))
            for (int k = 0; k < GridPoints; ++k)
                if (std::isfinite(store.Traces[slot][k]))
                    points.push_back(pointAt(slot, k));
    return points;
}

QRect DrawLegend(QPainter &painter, const QRect &frame, const std::vector<TLegendEntry> &entries,
                 const std::vector<QPoint> &curvePoints, const QColor &textColour, const QColor &fill,
                 std::optional<QPointF> at)
{
    if (entries.empty())
        return {};
    const QFontMetrics metrics = painter.fontMetrics();
    const int pad = std::max(2, metrics.height() / 4);
    // Long enough to show a dash pattern.
    const int sample = 3 * metrics.horizontalAdvance(QLatin1Char('M'));
    // A long label is cut short with an ellipsis rather than letting the box
    // cover the plot: the text takes at most a third of the frame's width.
    const int widest = std::max(metrics.horizontalAdvance(QStringLiteral("MMMMMMMM")), frame.width() / 3);
    std::vector<QString> labels;
    int textWidth = 0;
    for (const TLegendEntry &entry : entries) {
        labels.push_back(metrics.elidedText(entry.Label, Qt::ElideRight, widest));
        textWidth = std::max(textWidth, metrics.horizontalAdvance(labels.back()));
    }
    // Two pads after the text: a glyph's last pixels may reach past its advance.
    const QSize size(pad + sample + pad + textWidth + 2 * pad, pad + int(entries.size()) * metrics.height() + pad);
    // A margin of one pad keeps the box off the frame line.
    const QRect inner = frame.adjusted(pad, pad, -pad, -pad);
    const QRect corners[] = {
        QRect(QPoint(inner.right() - size.width() + 1, inner.top()), size),
        QRect(QPoint(inner.right() - size.width() + 1, inner.bottom() - size.height() + 1), size),
        QRect(inner.topLeft(), size),
        QRect(QPoint(inner.left(), inner.bottom() - size.height() + 1), size),
    };
    auto covered = [&](const QRect &box) {
        return std::count_if(curvePoints.begin(), curvePoints.end(), [&](QPoint p) { return box.contains(p); });
    };
    QRect box = *std::min_element(std::begin(corners), std::end(corners),
                                  [&](const QRect &a, const QRect &b) { return covered(a) < covered(b); });
    if (at) {
        const int left = frame.left() + qRound(at->x() * frame.width());
        const int top = frame.top() + qRound(at->y() * frame.height());
        const int rightmost = std::max(inner.left(), inner.right() - size.width() + 1);
        const int lowest = std::max(inner.top(), inner.bottom() - size.height() + 1);
        box.moveTopLeft(QPoint(std::clamp(left, inner.left(), rightmost), std::clamp(top, inner.top(), lowest)));
    }

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(box, fill);
    QPen border(textColour);
    border.setCosmetic(true);
    painter.setPen(border);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(box.adjusted(0, 0, -1, -1));
    for (std::size_t n = 0; n < entries.size(); ++n) {
        const int top = box.top() + pad + int(n) * metrics.height();
        const int middle = top + metrics.height() / 2;
        painter.setPen(entries[n].Pen);
        painter.drawLine(box.left() + pad, middle, box.left() + pad + sample, middle);
        painter.setPen(textColour);
        painter.drawText(box.left() + pad + sample + pad, top + metrics.ascent(), labels[n]);
    }
    painter.restore();
    return box;
}

QRect DrawPlotLegend(QPainter &painter, const TPlotGeometry &geometry, const TGridX &gridX, const TPlotScale &scale,
                     const TTraceStore &store, TColor liveColour, std::optional<QPointF> at)
{
    const auto entries = LegendEntries(store, [&](int slot) { return ScreenTracePen(store, slot, liveColour); });
    const QRect frame(QPoint(geometry.FrameLeft, geometry.FrameTop),
                      QPoint(geometry.FrameRight(), geometry.FrameBottom()));
    const auto points =
        ShownTracePoints(store, [&](int slot, int k) { return QPoint(gridX[k], geometry.DBToY(store.Traces[slot][k], scale)); });
    painter.save();
    painter.setFont(PlotLabelFont());
    const QRect box =
        DrawLegend(painter, frame, entries, points, ToQColor(clSilver), ToQColor(clBlack), at);
    painter.restore();
    return box;
}

} // namespace cva
