// E-series values against the published tables.

#include <gtest/gtest.h>

#include <cmath>

#include "components/ESeries.h"
#include "document/ESeriesSnap.h"
#include "numerics/Error.h"

namespace {

using namespace cva;

TEST(ESeries, NearestValueByRatio)
{
    struct Case {
        double Value;
        TESeries Series;
        double Nearest;
    };
    const Case cases[] = {
        {50e3, TESeries::E12, 47e3}, {50e3, TESeries::E24, 51e3},  {50e3, TESeries::E96, 49.9e3},
        // 1.1 is nearer 1.2 than 1 by ratio, though not by difference.
        {1.1, TESeries::E12, 1.2},   {9.5, TESeries::E12, 10},     {9.8e-9, TESeries::E96, 9.76e-9},
        {3.3e-9, TESeries::E12, 3.3e-9}, {250e3, TESeries::E24, 240e3}, {1e6, TESeries::E96, 1e6},
        {0.022e-6, TESeries::E24, 22e-9}, {1.0e-3, TESeries::E12, 1e-3}, {0.97, TESeries::E24, 1},
    };
    for (const Case &c : cases)
        EXPECT_EQ(NearestESeriesValue(c.Value, c.Series), c.Nearest) << c.Value << " in " << ESeriesName(c.Series);
}

// E96 is 10^(i/96) rounded to three digits throughout; a typo in the table
// would be a value that does not snap to itself.
TEST(ESeries, E96IsTheRoundedGeometricSeries)
{
    for (int i = 0; i < 96; ++i) {
        const double exact = 100 * std::pow(10.0, i / 96.0);
        EXPECT_EQ(NearestESeriesValue(exact * 10, TESeries::E96), std::round(exact) * 10) << i;
    }
}

TEST(ESeries, E12IsEveryOtherE24Value)
{
    const double e24[] = {10, 11, 12, 13, 15, 16, 18, 20, 22, 24, 27, 30, 33, 36, 39, 43, 47, 51, 56, 62, 68, 75, 82, 91};
    for (int i = 0; i < 24; ++i) {
        EXPECT_EQ(NearestESeriesValue(e24[i] * 100, TESeries::E24), e24[i] * 100);
        if (i % 2 == 0) {
            EXPECT_EQ(NearestESeriesValue(e24[i] * 100, TESeries::E12), e24[i] * 100);
        }
    }
}

TEST(ESeries, NamesAndBadValues)
{
    EXPECT_EQ(ESeriesFromName("e24"), TESeries::E24);
    EXPECT_EQ(ESeriesFromName("E48"), std::nullopt);
    for (double bad : {0.0, -4.7e3, double(INFINITY), double(NAN)})
        EXPECT_THROW(NearestESeriesValue(bad, TESeries::E12), CorvantaError) << bad;
}

TEST(ESeries, SnapTakesTheActivePagesResistorsAndCapacitorsOnly)
{
    TCircuit circuit;
    circuit.Symbols.SetInfo("FR1", "50000");
    circuit.Symbols.SetInfo("FC1", "2.5E-10");
    circuit.Symbols.SetInfo("FR3", "260000|1");
    circuit.Symbols.SetInfo("FR5", "-1000");
    circuit.Symbols.SetInfo("VR1", "50000"); // another page's resistor
    const std::vector<std::string> unchanged = SnapActivePage(circuit, TESeries::E12);
    EXPECT_EQ(circuit.Symbols.GetValue("FR1"), 47000);
    EXPECT_EQ(circuit.Symbols.GetValue("FC1"), 2.7e-10);
    EXPECT_EQ(circuit.Symbols.GetValue("FR3"), 260000);
    EXPECT_EQ(circuit.Symbols.GetValue("VR1"), 50000);
    EXPECT_EQ(circuit.Symbols.GetValue("FR5"), -1000);
    ASSERT_EQ(unchanged.size(), 1u);
    EXPECT_EQ(unchanged[0].substr(0, 20), "FR5 stays as it was:");
}

} // namespace
