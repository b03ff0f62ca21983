#pragma once

// What the plot reports for the point under the mouse pointer.

#include <QPoint>
#include <QString>

class QWidget;

#include "models/Calc.h"

namespace cva {

// The value of a trace at a frequency on the axis, joining neighbouring grid
// points by a straight line as the sweep does. Frequencies off the axis read
// the value at its nearer end.
double TraceAt(const TTrace &trace, double frequency);

// "1.00 kHz   -21.98 dB   -45.3°   0.254 ms": the frequency to three
// significant digits, the gain to two decimals, the phase to one and the
// group delay in milliseconds to three, in the user's locale. A value that
// is not finite is left out.
QString CursorReadoutText(double frequency, double gain, double phaseDeg, double groupDelayS);
// The same without the frequency: "   -21.98 dB   -45.3°   0.254 ms".
QString ValuesText(double gain, double phaseDeg, double groupDelayS);

// The readout of the live trace (slot 0) at a frequency.
QString LiveReadoutText(const TTraceStore &store, double frequency);

// The frequency alone, as the readouts write it.
QString FrequencyText(double frequency);

// The box beside the pointer while snapshots are shown: the frequency, then
// one line per shown curve, live first, named as in the legend, with its
// gain, phase and group delay there. Empty while the live curve is alone
// (the status bar's line then says it all).
QString CurvesReadoutText(const TTraceStore &store, double frequency);

// Shows that box beside the pointer over the view, or hides it for an
// empty text.
void ShowCurvesReadout(QWidget *view, QPoint pointer, const QString &text);

} // namespace cva
