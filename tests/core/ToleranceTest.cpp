// Tolerance bands against direct sweeps of one part's value.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "document/Netlist.h"
#include "document/Tolerance.h"
#include "document/TraceTable.h"
#include "models/NodalEngine.h"
#include "numerics/Error.h"

namespace {

using namespace cva;

std::vector<TPartTolerance> OnlyOnePart(const TCircuit &circuit, const std::string &name, double percent)
{
    std::vector<TPartTolerance> parts = DefaultTolerances(circuit);
    SetTolerance(parts, "all", 0);
    SetTolerance(parts, name, percent);
    return parts;
}

TTrace Curve(const TCircuit &circuit)
{
    TTrace curve{};
    CalcGainCurve(BuildNetlist(circuit), circuit.ResolutionStep, curve);
    return curve;
}

TEST(ToleranceBand, ExtremesOfOnePartMeetItsDirectSweep)
{
    for (const char *name : {"FR1", "FC2", "FR3"}) {
        TCircuit circuit;
        const TToleranceBand band = CalcToleranceBand(circuit, OnlyOnePart(circuit, name, 10), 400, 7);
        TTrace low, high;
        low.fill(INFINITY);
        high.fill(-INFINITY);
        const std::string nominal = circuit.Symbols.Find(name).GetInfo();
        const std::string taper = nominal.find('|') == std::string::npos ? "" : nominal.substr(nominal.find('|'));
        for (int i = 0; i <= 100; ++i) {
            TCircuit swept = circuit;
            const double value = circuit.Symbols.GetValue(name) * (0.9 + 0.2 * i / 100);
            swept.Symbols.SetInfo(name, ShortestNumber(value) + taper);
            const TTrace curve = Curve(swept);
            for (std::size_t k = 0; k < curve.size(); ++k) {
                low[k] = std::min(low[k], curve[k]);
                high[k] = std::max(high[k], curve[k]);
            }
        }
        for (std::size_t k = 0; k < low.size(); ++k) {
            // Inside the swept range (up to what its steps miss of a minimum
            // between them), and with 400 draws close to its ends.
            EXPECT_GE(band.Min[k], low[k] - 1e-4) << name << " at " << k;
            EXPECT_LE(band.Max[k], high[k] + 1e-4) << name << " at " << k;
            EXPECT_NEAR(band.Min[k], low[k], 0.01) << name << " at " << k;
            EXPECT_NEAR(band.Max[k], high[k], 0.01) << name << " at " << k;
        }
    }
}

TEST(ToleranceBand, ExactPartsGiveTheNominalCurveAndSeedsRepeat)
{
    TCircuit circuit;
    circuit.Active = *circuit.Pages().FromCaption("Bench");
    std::vector<TPartTolerance> exact = DefaultTolerances(circuit);
    SetTolerance(exact, "all", 0);
    const TToleranceBand flat = CalcToleranceBand(circuit, exact, 5, 1);
    EXPECT_EQ(flat.Min, Curve(circuit));
    EXPECT_EQ(flat.Max, Curve(circuit));

    const std::vector<TPartTolerance> usual = DefaultTolerances(circuit);
    const TToleranceBand first = CalcToleranceBand(circuit, usual, 50, 1);
    EXPECT_EQ(CalcToleranceBand(circuit, usual, 50, 1).P95, first.P95);
    EXPECT_NE(CalcToleranceBand(circuit, usual, 50, 2).P95, first.P95);
}

TEST(ToleranceBand, SpecsNameKindsPartsOrAll)
{
    TCircuit circuit;
    std::vector<TPartTolerance> parts = DefaultTolerances(circuit);
    const auto percentOf = [&parts](const std::string &name) {
        return std::find_if(parts.begin(), parts.end(), [&](const TPartTolerance &p) { return p.Name == name; })
            ->Percent;
    };
    EXPECT_EQ(percentOf("FR1"), 5);
    EXPECT_EQ(percentOf("FC1"), 10);
    EXPECT_EQ(percentOf("FR2"), 20);
    EXPECT_EQ(percentOf("FG"), 0);
    SetTolerance(parts, "c", 2);
    SetTolerance(parts, "fr1", 1);
    EXPECT_EQ(percentOf("FC3"), 2);
    EXPECT_EQ(percentOf("FR1"), 1);
    EXPECT_EQ(percentOf("FR5"), 5);
    const std::vector<TPartTolerance> before = parts;
    EXPECT_THROW(SetTolerance(parts, "VR1", 1), CorvantaError); // another page's part
    EXPECT_THROW(SetTolerance(parts, "R", 100), CorvantaError);
    EXPECT_THROW(SetTolerance(parts, "R", NAN), CorvantaError);
    EXPECT_EQ(parts.size(), before.size());
    EXPECT_TRUE(std::equal(parts.begin(), parts.end(), before.begin(),
                           [](const TPartTolerance &a, const TPartTolerance &b) { return a.Percent == b.Percent; }));
}

// The strongest part's figure, times its tolerance, is half the width of the
// band that part alone spreads at that frequency.
TEST(ToleranceBand, SensitivityAgreesWithTheBandOfThatPart)
{
    TCircuit circuit;
    const std::vector<TSensitivity> table = CalcSensitivity(circuit);
    ASSERT_FALSE(table.empty());
    EXPECT_TRUE(std::is_sorted(table.begin(), table.end(), [](const TSensitivity &a, const TSensitivity &b) {
        return std::abs(a.DbPerPercent) > std::abs(b.DbPerPercent);
    }));
    const TSensitivity &top = table.front();
    const TToleranceBand band = CalcToleranceBand(circuit, OnlyOnePart(circuit, top.Name, 1), 400, 3);
    int k = 0;
    while (GridFrequency(GridFirstStep + k) != top.Frequency)
        ++k;
    EXPECT_NEAR((band.Max[k] - band.Min[k]) / 2, std::abs(top.DbPerPercent), 0.02 * std::abs(top.DbPerPercent));
}

} // namespace
