#pragma once

// The points of a gain curve an engineer reads first: its peak, its deepest
// notch and where it has fallen 3 dB below the peak.

#include <optional>
#include <vector>

#include "models/Calc.h"

namespace cva {

struct TCurveMarker {
    double FrequencyHz;
    double GainDB;
};

struct TCurveMarkers {
    // The highest point; none when no point is finite.
    std::optional<TCurveMarker> Peak;
    // The lowest point lying between higher ground on both sides, at least
    // NotchDepthDB below the highest point on each side; none on a curve
    // without such a dip.
    std::optional<TCurveMarker> Notch;
    // Every crossing of the peak's level less 3 dB, from low to high
    // frequency, found by straight lines between grid points.
    std::vector<TCurveMarker> MinusThreeDB;
};

// Shallower dips are ripple, not notches.
constexpr double NotchDepthDB = 1.0;

TCurveMarkers FindCurveMarkers(const TTrace &trace);

} // namespace cva
