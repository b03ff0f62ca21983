#include "plot/PlotMarkers.h"

#include <algorithm>

#include <QFontMetrics>
#include <QLocale>
#include <QPainter>

#include "plot/CursorReadout.h"
#include "plot/PlotPainter.h"

namespace cva {

namespace {

struct TShownMarker {
    QString Name;
    TCurveMarker Marker;
    bool Ring; // peak and notch; the -3 dB points get a tick
};

std::vector<TShownMarker> ShownMarkers(const TCurveMarkers &markers)
{
    std::vector<TShownMarker> shown;
    if (markers.Peak)
        shown.push_back({QStringLiteral("Peak"), *markers.Peak, true});
    if (markers.Notch)
        shown.push_back({QStringLiteral("Notch"), *markers.Notch, true});
    for (const TCurveMarker &point : markers.MinusThreeDB)
        shown.push_back({QStringLiteral("-3 dB"), point, false});
    return shown;
}

QString FrequencyAndGain(const TCurveMarker &marker)
{
    return FrequencyText(marker.FrequencyHz) + QStringLiteral("   ") + QLocale().toString(marker.GainDB, 'f', 2) +
           QStringLiteral(" dB");
}

} // namespace

QStringList MarkerLines(const TCurveMarkers &markers)
{
    QStringList lines;
    for (const TShownMarker &shown : ShownMarkers(markers))
        lines << shown.Name + QStringLiteral("   ") + FrequencyAndGain(shown.Marker);
    return lines;
}

void DrawMarkers(QPainter &painter, const TPlotGeometry &geometry, const TPlotScale &scale,
                 const TCurveMarkers &markers, const QColor &colour)
{
    painter.save();
    painter.setFont(PlotLabelFont());
    const QFontMetrics metrics = painter.fontMetrics();
    const int radius = std::max(3, metrics.height() / 4);
    const QRect frame(QPoint(geometry.FrameLeft, geometry.FrameTop),
                      QPoint(geometry.FrameRight(), geometry.FrameBottom()));
    painter.setPen(QPen(colour, 1));
    painter.setBrush(Qt::NoBrush);
    for (const TShownMarker &shown : ShownMarkers(markers)) {
        const QPoint at(geometry.FreqToX(shown.Marker.FrequencyHz), geometry.DBToY(shown.Marker.GainDB, scale));
        // A zoomed view may leave the marker out.
        if (at.x() < frame.left() || at.x() > frame.right())
            continue;
        if (shown.Ring)
            painter.drawEllipse(at, radius, radius);
        else
            painter.drawLine(at.x(), at.y() - 2 * radius, at.x(), at.y() + 2 * radius);
        // The label above the point (below a notch), kept inside the frame.
        const QString text = shown.Name + QLatin1Char(' ') + FrequencyText(shown.Marker.FrequencyHz);
        QRect box(0, 0, metrics.horizontalAdvance(text), metrics.height());
        box.moveCenter(at);
        box.translate(0, (shown.Name == QLatin1String("Notch") ? 1 : -1) * (2 * radius + metrics.height() / 2 + 1));
        box.moveLeft(std::clamp(box.left(), frame.left() + 2, std::max(frame.left() + 2, frame.right() - 2 - box.width())));
        box.moveTop(std::clamp(box.top(), frame.top() + 2, std::max(frame.top() + 2, frame.bottom() - 2 - box.height())));
        painter.drawText(box, Qt::AlignCenter, text);
    }
    painter.restore();
}

} // namespace cva
