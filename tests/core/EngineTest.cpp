// The circuit engine on its own: its state form against its AC solution,
// (the Vox page's 1 milliohm wire makes its system the worst conditioned),
// its group delay against the slope of its phase, the input impedance of a
// network known by hand, and the errors for circuits it cannot solve.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <memory>
#include <numbers>

#include "pages/BuiltInCircuits.h"
#include "document/Circuit.h"
#include "document/ComponentSetting.h"
#include "document/ModelCheck.h"
#include "document/Netlist.h"
#include "document/ResponseMap.h"
#include "document/Catalogue.h"
#include "models/Mna.h"
#include "models/NodalEngine.h"
#include "numerics/ComplexLU.h"
#include "numerics/Error.h"

namespace {

using namespace cva;

TCircuit CircuitFor(int topology, int position)
{
    TCircuit c;
    c.Active = topology;
    for (int slider = 0; slider < BuiltInControl::Count; ++slider)
        c.SetPosition(slider, position);
    return c;
}

// x = (G + j omega C)^-1 B, read at the output.
TCx StateFormOutput(const TMnaSystem &m, double frequency)
{
    const double omega = 2 * std::numbers::pi * frequency;
    TComplexLU lu;
    std::array<TCx, MaxLUOrder> b{}, x{};
    for (int r = 0; r < m.Size; ++r) {
        b[r] = m.B[r];
        for (int c = 0; c < m.Size; ++c)
            lu.At(r, c) = TCx(m.G[r][c], omega * m.C[r][c]);
    }
    EXPECT_TRUE(lu.Factor(m.Size));
    lu.Solve(b, x);
    return m.Output < 0 ? TCx() : x[m.Output];
}

TEST(CircuitEngine, StateFormAgreesWithTheAcSolutionOnEveryPage)
{
    for (const TCircuitDef &info : BuiltInCircuits())
        for (int position : {0, 37, 100}) {
            const TNetlist net = BuildNetlist(CircuitFor(PageNamed(info.TabCaption), position));
            const TMnaSystem m = StampMna(net);
            TNodalEngine engine(net);
            for (double f : {10.0, 333.0, 4100.0, 29000.0}) {
                const TCx expected = engine.Output(f);
                EXPECT_LT(std::abs(StateFormOutput(m, f) - expected), 1e-7 * std::abs(expected))
                    << info.TabCaption << " position " << position << " at " << f << " Hz";
            }
        }
}

TEST(CircuitEngine, GroupDelayIsTheSlopeOfThePhase)
{
    for (const TCircuitDef &info : BuiltInCircuits()) {
        const TNetlist net = BuildNetlist(CircuitFor(PageNamed(info.TabCaption), 30));
        TNodalEngine engine(net);
        for (double f : {20.0, 150.0, 1000.0, 7000.0}) {
            const double h = f * 1e-4;
            const double before = std::arg(engine.Output(f - h));
            const double after = std::arg(engine.Output(f + h));
            const double slope = -(after - before) / (2 * std::numbers::pi * 2 * h);
            const double delay = engine.Point(f).GroupDelay;
            EXPECT_NEAR(delay, slope, 1e-5 * std::fabs(slope) + 1e-12) << info.TabCaption << " at " << f << " Hz";
        }
    }
}

// 1 kohm source, then 2 kohm in series with 1 uF to ground, output across
// the capacitor: Zin = R + 1/(j omega C), H = 1/(1 + j omega (R + Rs) C).
TNetlist SeriesRc(double sourceResistance)
{
    TNetlist net;
    net.Name = "series RC";
    net.NodeCount = 2;
    net.Input = 1;
    net.Output = 2;
    net.SourceResistance = sourceResistance;
    net.Add({TElementKind::Resistor, 1, 2, 2000, 0, "XR1"});
    net.Add({TElementKind::Capacitor, 2, 0, 1e-6, 0, "XC1"});
    return net;
}

TEST(CircuitEngine, InputImpedanceAndOutputOfASeriesRc)
{
    for (double rs : {1000.0, 0.0}) {
        const TNetlist net = SeriesRc(rs);
        TNodalEngine engine(net);
        for (double f : {10.0, 80.0, 1e4}) {
            const double omega = 2 * std::numbers::pi * f;
            const TNodalPoint p = engine.Point(f);
            const TCx zin = TCx(2000, -1 / (omega * 1e-6));
            const TCx h = 1.0 / TCx(1, omega * (2000 + rs) * 1e-6);
            EXPECT_LT(std::abs(p.InputImpedance - zin), 1e-9 * std::abs(zin)) << rs << " ohm source, " << f;
            EXPECT_LT(std::abs(p.Output - h), 1e-12) << rs << " ohm source, " << f;
            // The delay of a first-order low-pass: tau / (1 + (omega tau)^2).
            const double tau = (2000 + rs) * 1e-6;
            EXPECT_NEAR(p.GroupDelay, tau / (1 + omega * omega * tau * tau), 1e-15);
        }
    }
}

TEST(CircuitEngine, RefusesWhatItCannotSolveNamingTheCircuit)
{
    auto message = [](TNetlist net) {
        try {
            TNodalEngine engine(net);
            engine.Point(1000);
        } catch (const CorvantaError &e) {
            return std::string(e.what());
        }
        return std::string("no error");
    };
    TNetlist zeroC = SeriesRc(1000);
    zeroC.Branches[1].Value = 0;
    zeroC.Branches[1].Component = "XC1";
    EXPECT_EQ(message(zeroC), "Cannot solve circuit series RC: XC1 has a capacitance of zero or less");


    // A floating node: nothing ties node 3 to the rest.
    TNetlist floating = SeriesRc(1000);
    floating.NodeCount = 3;
    floating.Output = 3;
    EXPECT_EQ(message(floating), "Cannot solve circuit series RC: the nodal matrix is singular at 1000 Hz");

    // An ideal source shorted to ground.
    TNetlist shorted = SeriesRc(0);
    shorted.Add({TElementKind::Resistor, 1, 0, 0, 0, "XR2"});
    EXPECT_EQ(message(shorted), "Cannot solve circuit series RC: the nodal matrix is singular at 1000 Hz");

    TCircuit fender;
    fender.Symbols.SetInfo("FC2", "0");
    EXPECT_THROW(CalcGainCurve(BuildNetlist(fender), ResolutionMedium, *std::make_unique<TTrace>()),
                 CorvantaError);
}

// A pot enters a netlist as the resistors of its sections and the generator
// as the source; given as a branch of its own, either is refused by name
// rather than solved as something it is not.
TEST(CircuitEngine, RefusesAPotOrGeneratorGivenAsABranch)
{
    for (const auto &[kind, expected] :
         {std::pair{TElementKind::Pot, "Cannot solve circuit series RC: XP1 is a Potentiometer, not a branch"},
          std::pair{TElementKind::Generator, "Cannot solve circuit series RC: XP1 is a Generator, not a branch"}}) {
        TNetlist net = SeriesRc(1000);
        net.Add({kind, 1, 0, 1000, 0, "XP1"});
        try {
            TNodalEngine engine(net);
            ADD_FAILURE() << "no error";
        } catch (const CorvantaError &e) {
            EXPECT_EQ(std::string(e.what()), expected);
        }
        EXPECT_THROW(StampMna(net), CorvantaError);
    }
}

// A negative value makes a circuit that could deliver energy: the engine
// refuses it, naming the value the user gave, while the live curve stays as
// the loop model computes it, with the same message as its warning.
TEST(CircuitEngine, NonPassiveValuesAreRefusedNamingTheComponentAndPage)
{
    struct TCase {
        int Page;
        const char *Setting;
        const char *Refusal;
    };
    const std::string why = ": the circuit is not passive, so phase, impedance, maps and sound are not computed";
    for (const TCase &c : {TCase{PageNamed("Fender"), "FR1=-100k", "FR1 on the Fender page is -100 k\u03a9"},
                           TCase{PageNamed("Fender"), "FR2=-250k|1", "FR2 on the Fender page is -250 k\u03a9"},
                           TCase{PageNamed("Fender"), "FC1=-250p", "FC1 on the Fender page is -250 pF"},
                           TCase{PageNamed("Bench"), "SL2=-20|600", "SL2 on the Bench page is -20 H"},
                           TCase{PageNamed("Bench"), "SL1=6|-600", "SL1 on the Bench page has a DC resistance of -600 \u03a9"}}) {
        TCircuit circuit;
        circuit.Active = c.Page;
        ApplyComponentSetting(circuit, c.Setting);
        const std::string expected = c.Refusal + why;
        TResponseCurves curves{};
        try {
            CalcEngineCurves(circuit, curves);
            ADD_FAILURE() << c.Setting << " was solved";
        } catch (const TNotPassiveError &error) {
            EXPECT_EQ(error.what(), expected);
        }
        TTrace live{};
        Recalculate(circuit, live);
        EXPECT_TRUE(std::all_of(live.begin(), live.end(), [](double db) { return std::isfinite(db); })) << c.Setting;
        EXPECT_EQ(ModelAccuracyWarning(circuit, live), expected);
    }
}

// Each curve of a map is the live trace at that position, and the map of
// two sliders holds the map of one in each of its rows.
TEST(ResponseMap, CurvesAreTheLiveTracesAtEachPosition)
{
    TCircuit c;
    c.Active = PageNamed("Marshall");
    c.ResolutionStep = ResolutionLow;
    const std::vector<TTrace> map = CalcResponseMap(c, BuiltInControl::Mid, ResolutionLow);
    ASSERT_EQ(map.size(), std::size_t(MapPositions));
    for (int position : {0, 1, 49, 100}) {
        c.SetPosition(BuiltInControl::Mid, position);
        TTrace live{};
        Recalculate(c, live);
        for (int k = 0; k < GridPoints; ++k)
            ASSERT_NEAR(map[position][k], live[k], 1e-6) << "mid " << position << " point " << k;
    }
    c.SetPosition(BuiltInControl::Mid, 50);
    c.SetPosition(BuiltInControl::Bass, 50);
    const std::vector<TTrace> both = CalcResponseMap(c, BuiltInControl::Bass, BuiltInControl::Mid, ResolutionLow);
    ASSERT_EQ(both.size(), std::size_t(MapPositions) * MapPositions);
    for (int b = 0; b < MapPositions; b += 25)
        EXPECT_EQ(both[50 * MapPositions + b], map[b]) << "mid " << b;
}

TEST(ResponseMap, RefusesSlidersThePageDoesNotUse)
{
    TCircuit c;
    c.Active = PageNamed("Vox");
    EXPECT_THROW(CalcResponseMap(c, BuiltInControl::Mid, ResolutionLow), CorvantaError);
    EXPECT_THROW(CalcResponseMap(c, BuiltInControl::Bass, BuiltInControl::Bass, ResolutionLow), CorvantaError);
    c.Active = PageNamed("Big muff");
    try {
        CalcResponseMap(c, BuiltInControl::Treble, ResolutionLow);
        ADD_FAILURE() << "no error";
    } catch (const CorvantaError &e) {
        EXPECT_STREQ(e.what(), "The Big muff page has no Treble control to map");
    }
}

// The two roads agree on every default page; values far outside real parts
// make the loop model drift, and the warning names the deviation.
TEST(ModelAccuracy, WarnsOnlyWhereTheLoopModelDrifts)
{
    for (const TCircuitDef &info : BuiltInCircuits()) {
        TCircuit c;
        c.Active = PageNamed(info.TabCaption);
        TTrace live{};
        Recalculate(c, live);
        EXPECT_EQ(ModelAccuracyWarning(c, live), std::nullopt) << info.TabCaption;
    }
    TCircuit bench;
    bench.Active = PageNamed("Bench");
    bench.Symbols.SetInfo("SR5", "1e12");
    TTrace live{};
    Recalculate(bench, live);
    const auto warning = ModelAccuracyWarning(bench, live);
    ASSERT_TRUE(warning.has_value());
    EXPECT_EQ(warning->rfind("The values are outside the range the model computes accurately", 0), 0u) << *warning;
}

} // namespace
