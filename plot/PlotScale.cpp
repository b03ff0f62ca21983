#include "plot/PlotScale.h"

#include <algorithm>
#include <cmath>

namespace cva {

namespace {

constexpr int FixedTopDB = 0;
constexpr int FixedBottomDB = -50;

// 2 * Trunc(value / 2), truncating toward zero. Sweeps give gains within a
// few thousand dB; the clamp only keeps a stray huge value in the store from
// overflowing the conversion to int.
int EvenTowardZero(double value)
{
    return 2 * static_cast<int>(std::trunc(std::clamp(value, -1e6, 1e6) / 2));
}

} // namespace

bool UpdateYRange(TPlotScale &scale, const TTraceStore &store)
{
    int top = FixedTopDB;
    int bottom = FixedBottomDB;
    if (scale.AutoYScale) {
        double highest = -999;
        double lowest = 999;
        bool anyFinite = false;
        for (int t = 0; t < store.TraceCount; ++t) {
            if (!store.Shown(t))
                continue;
            // Point 0 (10 Hz) is left out: it never widens the scale.
            for (int k = 1; k < GridPoints; ++k) {
                const double value = store.Traces[t][k];
                if (!std::isfinite(value))
                    continue;
                anyFinite = true;
                highest = std::max(highest, value);
                lowest = std::min(lowest, value);
            }
        }
        if (anyFinite) {
            top = EvenTowardZero(highest);
            bottom = EvenTowardZero(lowest - 2 + 0.0001);
            // A flat response on an even dB value gives top == bottom; the
            // scale needs some height to map dB to pixels at all.
            if (top == bottom)
                bottom -= 2;
        }
    }
    const bool changed = top != scale.PlotTopDB || bottom != scale.PlotBottomDB;
    scale.PlotTopDB = top;
    scale.PlotBottomDB = bottom;
    scale.PlotRangeDB = top - bottom;
    return changed;
}

TSpan ScaleSpan(const TPlotScale &scale)
{
    return {scale.PlotBottomDB, scale.PlotTopDB};
}

TPlotScale WindowedScale(const TPlotScale &scale, const TViewWindow &window)
{
    const TSpan shown = window.Y(ScaleSpan(scale));
    TPlotScale windowed = scale;
    windowed.PlotTopDB = shown.High;
    windowed.PlotBottomDB = shown.Low;
    windowed.PlotRangeDB = shown.Size();
    return windowed;
}

} // namespace cva
