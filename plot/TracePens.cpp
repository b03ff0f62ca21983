#include "plot/TracePens.h"

#include <QPaintDevice>
#include <QPainter>

#include "plot/PlotColours.h"

namespace cva {

namespace {

TColor ColourOf(const TTraceStore &store, int slot, TColor liveColour)
{
    return slot == 0 ? liveColour : store.TraceColours[slot];
}

} // namespace

QVector<qreal> SnapshotDashPattern(int slot)
{
    // A dash of one of three lengths followed by none to seven dots, so that
    // every one of the 23 snapshots has its own; the gaps leave room for the
    // caps, which draw a dot of almost no length as a round or square spot.
    constexpr qreal dashes[] = {8, 4, 2};
    constexpr qreal gap = 3;
    constexpr qreal dot = 0.01;
    const int index = slot - 1;
    QVector<qreal> pattern{dashes[index % 3], gap};
    for (int k = 0; k < index / 3; ++k)
        pattern << dot << gap;
    return pattern;
}

bool SharesColour(const TTraceStore &store, int slot, TColor liveColour)
{
    const TColor colour = ColourOf(store, slot, liveColour);
    for (int other = 0; other < store.TraceCount; ++other)
        if (other != slot && store.Shown(other) && ColourOf(store, other, liveColour) == colour)
            return true;
    return false;
}

QPen ScreenTracePen(const TTraceStore &store, int slot, TColor liveColour)
{
    QPen pen(ToQColor(ColourOf(store, slot, liveColour)), 1, Qt::SolidLine, Qt::SquareCap, Qt::RoundJoin);
    if (slot > 0 && SharesColour(store, slot, liveColour)) {
        // Half again the printed pattern: on a one-pixel line the printed
        // gaps would close up.
        QVector<qreal> pattern = SnapshotDashPattern(slot);
        for (qreal &length : pattern)
            length *= 1.5;
        pen.setDashPattern(pattern);
    }
    return pen;
}

bool PrepareTracePainter(QPainter &painter)
{
    const bool scaled = painter.device()->devicePixelRatioF() != 1;
    painter.setRenderHint(QPainter::Antialiasing, scaled);
    if (scaled)
        painter.translate(0.5, 0.5);
    return scaled;
}

} // namespace cva
