#pragma once

// How each curve is drawn: in its own colour, and, where another shown curve
// has the same colour, in a dash pattern of its own, so that no two curves
// on the plot or in its legend look alike. The live trace is always solid.

#include <QPen>
#include <QVector>

class QPainter;

#include "models/Calc.h"

namespace cva {

// The dash pattern of snapshot slot t (1 .. MaxTraces - 1), in pen widths;
// each slot's differs from every other's.
QVector<qreal> SnapshotDashPattern(int slot);

// True when slot's curve has the colour of another shown curve; the live
// trace (slot 0) is in liveColour.
bool SharesColour(const TTraceStore &store, int slot, TColor liveColour);

// The pen of slot's curve on screen and in pictures: one logical pixel
// wide, so that it grows with the picture as the labels do.
QPen ScreenTracePen(const TTraceStore &store, int slot, TColor liveColour);

// Sets the painter up for curves: on a scaled picture (a large export, a
// high-density screen) they are antialiased and centred on the pixels, so
// that a wide line has no stairs; at one device pixel per pixel they stay
// sharp single pixels. True for a scaled picture.
bool PrepareTracePainter(QPainter &painter);

} // namespace cva
