#pragma once

// What the plot reports for the point under the mouse pointer.

#include <QString>

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

// The readout of the live trace (slot 0) at a frequency.
QString LiveReadoutText(const TTraceStore &store, double frequency);

// The frequency alone, as the readouts write it.
QString FrequencyText(double frequency);

} // namespace cva
