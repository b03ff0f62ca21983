#pragma once

// The value axes of the plot's other quantities: phase in degrees (fixed at
// -180 .. 180 or fitted), group delay in milliseconds (fitted) and the input
// impedance in ohms on decades (fitted). Each lists its grid lines and
// labels and maps values to pixels as the dB axis does.

#include <vector>

#include <QString>

#include "models/Calc.h"
#include "plot/ViewWindow.h"

namespace cva {

enum class TQuantity { Phase, GroupDelay, Impedance };

// The quantity's trace in a slot of the store.
const TTrace &QuantityTrace(const TTraceStore &store, TQuantity quantity, int slot);

// The store with each trace's gain replaced by the quantity, for the tables
// and readers that take traces as they come.
TTraceStore QuantityStore(const TTraceStore &store, TQuantity quantity);

struct TAxisLine {
    double Value;
    bool Major;
};
struct TAxisLabel {
    double Value;
    QString Text;
};

struct TValueAxis {
    // The values at the frame's top and bottom edges, in the axis' display
    // units (milliseconds for group delay, decades of ohms for impedance).
    double Top = 1;
    double Bottom = 0;
    double UnitScale = 1; // stored value x UnitScale = display value
    bool Logarithmic = false;
    // Lines and labels carry stored values, as the traces do.
    std::vector<TAxisLine> Lines;
    std::vector<TAxisLabel> Labels;

    // The y of a stored value in a frame from top to bottom, clamped to the
    // edges; NaN lands on the top edge.
    int ToY(double value, int top, int bottom) const;
};

// A linear axis on whole steps of 1, 2 or 5 times a power of ten around
// lowest .. highest (display values), labelled at each step with the unit;
// a range narrower than a millionth of defaultSpan is widened to it.
TValueAxis FittedAxis(double lowest, double highest, double defaultSpan, const QString &unit);

// The axis for the traces in use: fixed or fitted for phase, always fitted
// for the others. Traces without a finite value leave a fitted axis at a
// small default range.
TValueAxis QuantityAxis(TQuantity quantity, const TTraceStore &store, bool phaseAutoScale);

// The span of an axis from its bottom to its top, in display units.
TSpan AxisSpan(const TValueAxis &axis);
// The part of that axis a zoomed window shows, with lines and labels on
// steps that suit its span; the axis itself when the window shows the whole.
TValueAxis WindowedAxis(TQuantity quantity, const TValueAxis &axis, const TViewWindow &window);
// How far each quantity's view zooms up.
TViewLimits QuantityViewLimits(TQuantity quantity);

} // namespace cva
