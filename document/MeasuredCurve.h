#pragma once

// A curve measured elsewhere (an analyser, a simulator, a plugin), read from
// CSV and laid on this program's frequency grid so that it can sit on the
// plot beside the computed curves.

#include <filesystem>
#include <string_view>
#include <vector>

#include "models/Calc.h"

namespace cva {

struct TMeasuredPoint {
    double Frequency = 0; // Hz
    double GainDb = 0;
    double PhaseDeg = 0;  // 0 when the file has no phase column
};

struct TMeasuredCurve {
    std::vector<TMeasuredPoint> Points; // ascending frequency, no frequency twice
    bool HasPhase = false;
};

// Lines of "frequency,dB" or "frequency,dB,phase" in any order; fields may
// also be apart by ';', a tab or blanks; numbers use '.'. Blank lines and lines
// starting with '#' or ';' are comments, and a first line of words is a
// header. Anything else that is not such a line is an error naming the line
// ("line 7: ..."), as are a frequency given twice, one that is not positive,
// and fewer than two points.
TMeasuredCurve ParseMeasuredCurve(std::string_view text);
TMeasuredCurve LoadMeasuredCurve(const std::filesystem::path &path);

// The curve at the grid's frequencies, straight lines between its points on a
// logarithmic frequency axis; NaN outside its range, which is not guessed.
// The gain unless another quantity of the points is named (the phase).
TTrace MeasuredCurveOnGrid(const TMeasuredCurve &curve, double TMeasuredPoint::*quantity = &TMeasuredPoint::GainDb);

} // namespace cva
