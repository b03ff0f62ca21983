#include "document/CurveMarkers.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace cva {

namespace {

// The frequency at a fractional grid index, on the grid's logarithmic law.
double FrequencyAt(double index)
{
    return std::pow(10.0, (GridFirstStep + index) / double(GridFirstStep));
}

// The highest finite gain over the indices [from, to).
double HighestBetween(const TTrace &trace, int from, int to)
{
    double highest = -std::numeric_limits<double>::infinity();
    for (int k = from; k < to; ++k)
        if (std::isfinite(trace[k]))
            highest = std::max(highest, trace[k]);
    return highest;
}

std::optional<TCurveMarker> DeepestNotch(const TTrace &trace)
{
    std::optional<TCurveMarker> notch;
    for (int k = 1; k + 1 < GridPoints; ++k) {
        const double gain = trace[k];
        // A flat bottom counts once, at its first point.
        if (!std::isfinite(gain) || !(gain < trace[k - 1]) || !(gain <= trace[k + 1]))
            continue;
        if (notch && gain >= notch->GainDB)
            continue;
        if (HighestBetween(trace, 0, k) - gain >= NotchDepthDB &&
            HighestBetween(trace, k + 1, GridPoints) - gain >= NotchDepthDB)
            notch = TCurveMarker{GridFrequency(GridFirstStep + k), gain};
    }
    return notch;
}

} // namespace

TCurveMarkers FindCurveMarkers(const TTrace &trace)
{
    TCurveMarkers markers;
    for (int k = 0; k < GridPoints; ++k)
        if (std::isfinite(trace[k]) && (!markers.Peak || trace[k] > markers.Peak->GainDB))
            markers.Peak = TCurveMarker{GridFrequency(GridFirstStep + k), trace[k]};
    if (!markers.Peak)
        return markers;
    const double level = markers.Peak->GainDB - 3;
    double lastCrossing = -1;
    for (int k = 0; k + 1 < GridPoints; ++k) {
        const double a = trace[k] - level;
        const double b = trace[k + 1] - level;
        if (!std::isfinite(a) || !std::isfinite(b) || (a >= 0) == (b >= 0))
            continue;
        // A grid point exactly on the level ends one segment's crossing and
        // starts the next one's: it is one crossing.
        const double position = k + a / (a - b);
        if (position == lastCrossing)
            continue;
        lastCrossing = position;
        markers.MinusThreeDB.push_back({FrequencyAt(position), level});
    }
    markers.Notch = DeepestNotch(trace);
    return markers;
}

} // namespace cva
