#pragma once

// What the plot reports for the point under the mouse pointer.

#include <QString>

#include "models/Calc.h"

namespace cva {

// The trace's gain at a frequency on the axis, joining neighbouring grid
// points by a straight line as the sweep does. Frequencies off the axis read
// the value at its nearer end.
double GainAt(const TTrace &trace, double frequency);

// "1.00 kHz   -21.98 dB": the frequency to three significant digits and the
// gain to two decimals, in the user's locale. A gain that is not finite is
// left out.
QString CursorReadoutText(double frequency, double gain);

} // namespace cva
