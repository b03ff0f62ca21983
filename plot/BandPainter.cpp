#include "plot/BandPainter.h"

#include <cmath>
#include <vector>

#include <QPolygonF>

#include "plot/PlotColours.h"

namespace cva {

namespace {

// Shades the area between two traces, in pieces where both are finite.
void FillBetween(QPainter &painter, const TPlotGeometry &geometry, const TPlotScale &scale, const TTrace &lower,
                 const TTrace &upper)
{
    const auto at = [&](int k, double db) {
        return QPointF(geometry.FreqToXF(GridFrequency(GridFirstStep + k)), geometry.DBToYF(db, scale));
    };
    int first = 0;
    while (first < GridPoints) {
        if (!std::isfinite(lower[first]) || !std::isfinite(upper[first])) {
            ++first;
            continue;
        }
        int last = first;
        while (last + 1 < GridPoints && std::isfinite(lower[last + 1]) && std::isfinite(upper[last + 1]))
            ++last;
        QPolygonF area;
        for (int k = first; k <= last; ++k)
            area << at(k, upper[k]);
        for (int k = last; k >= first; --k)
            area << at(k, lower[k]);
        painter.drawPolygon(area);
        first = last + 1;
    }
}

} // namespace

void DrawToleranceBand(QPainter &painter, const TPlotGeometry &geometry, const TPlotScale &scale,
                       const TToleranceBand &band, TColor liveColour)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setClipRect(QRect(geometry.FrameLeft, geometry.FrameTop, geometry.FrameRight() - geometry.FrameLeft,
                              geometry.FrameBottom() - geometry.FrameTop));
    painter.setPen(Qt::NoPen);
    QColor shade = ToQColor(liveColour);
    shade.setAlpha(70);
    painter.setBrush(shade);
    FillBetween(painter, geometry, scale, band.Min, band.Max);
    shade.setAlpha(110);
    painter.setBrush(shade);
    FillBetween(painter, geometry, scale, band.P5, band.P95);
    painter.restore();
}

} // namespace cva
