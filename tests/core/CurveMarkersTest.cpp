// The peak, the deepest notch and the -3 dB points of a gain curve.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <limits>
#include <optional>
#include <vector>

#include "document/CurveMarkers.h"

using namespace cva;

namespace {

TTrace Curve(const std::function<double(int)> &gainAt)
{
    TTrace trace{};
    for (int k = 0; k < GridPoints; ++k)
        trace[k] = gainAt(k);
    return trace;
}

// The grid's law, also between grid points.
double FrequencyOf(double index)
{
    return std::pow(10.0, (GridFirstStep + index) / GridFirstStep);
}

struct TMarkerCase {
    const char *Name;
    TTrace Trace;
    std::optional<int> PeakIndex, NotchIndex;
    std::vector<double> CrossingIndices;
};

} // namespace

TEST(CurveMarkers, PeakNotchAndMinusThreeDBPoints)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const TMarkerCase cases[] = {
        {"flat", Curve([](int) { return -10.0; }), 0, std::nullopt, {}},
        // A peak of 0 dB in the middle falls 0.13 dB per grid point.
        {"peak", Curve([](int k) { return -0.13 * std::abs(k - 222); }), 222, std::nullopt,
         {222 - 3 / 0.13, 222 + 3 / 0.13}},
        // Exactly on the level at a grid point: one crossing there.
        {"on a grid point", Curve([](int k) { return -0.25 * std::abs(k - 222); }), 222, std::nullopt, {210, 234}},
        // A notch of -30 dB in the middle; the ends are the highest points.
        {"notch", Curve([](int k) { return 0.1 * std::abs(k - 222) - 30; }), 0, 222, {222 - 19.2 / 0.1, 222 + 19.2 / 0.1}},
        // Half a dB of ripple is no notch.
        {"ripple", Curve([](int k) { return k % 40 < 20 ? -20.0 : -20.5; }), 0, std::nullopt, {}},
        {"no finite point", Curve([nan](int) { return nan; }), std::nullopt, std::nullopt, {}},
        // A gap in the curve does not make a crossing.
        {"gap", Curve([nan](int k) { return k == 100 ? nan : k < 100 ? 0.0 : -6.0; }), 0, std::nullopt, {}},
    };
    for (const TMarkerCase &c : cases) {
        SCOPED_TRACE(c.Name);
        const TCurveMarkers markers = FindCurveMarkers(c.Trace);
        ASSERT_EQ(markers.Peak.has_value(), c.PeakIndex.has_value());
        if (c.PeakIndex) {
            EXPECT_EQ(markers.Peak->FrequencyHz, GridFrequency(GridFirstStep + *c.PeakIndex));
            EXPECT_EQ(markers.Peak->GainDB, c.Trace[*c.PeakIndex]);
        }
        ASSERT_EQ(markers.Notch.has_value(), c.NotchIndex.has_value());
        if (c.NotchIndex) {
            EXPECT_EQ(markers.Notch->FrequencyHz, GridFrequency(GridFirstStep + *c.NotchIndex));
        }
        ASSERT_EQ(markers.MinusThreeDB.size(), c.CrossingIndices.size());
        for (std::size_t n = 0; n < c.CrossingIndices.size(); ++n) {
            EXPECT_NEAR(markers.MinusThreeDB[n].FrequencyHz, FrequencyOf(c.CrossingIndices[n]),
                        1e-6 * FrequencyOf(c.CrossingIndices[n]));
            EXPECT_DOUBLE_EQ(markers.MinusThreeDB[n].GainDB, markers.Peak->GainDB - 3);
        }
    }
}

TEST(CurveMarkers, CrossingsBetweenGridPointsAreInterpolatedOnTheLogAxis)
{
    // From 0 dB down to -4 dB in one grid step: -3 dB lies three quarters on.
    const TTrace trace = Curve([](int k) { return k <= 10 ? 0.0 : -4.0; });
    const TCurveMarkers markers = FindCurveMarkers(trace);
    ASSERT_EQ(markers.MinusThreeDB.size(), 1u);
    EXPECT_NEAR(markers.MinusThreeDB[0].FrequencyHz, FrequencyOf(10.75), 1e-9);
}
