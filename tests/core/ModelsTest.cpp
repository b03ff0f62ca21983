// The seven loop models against the circuit engine's nodal analysis of each
// page's branch list, and against reference values of the default circuits.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "pages/BuiltInCircuits.h"
#include "document/Circuit.h"
#include "document/Netlist.h"
#include "document/Catalogue.h"
#include "models/NodalEngine.h"

namespace {

using namespace cva;

constexpr double NodalToleranceDB = 1e-6;
// The reference values are given to two decimals.
constexpr double ReferenceToleranceDB = 0.01;

std::vector<int> UsedSliders(const TCircuit &circuit)
{
    std::vector<int> used;
    for (int slider = 0; slider < BuiltInControl::Count; ++slider)
        if (circuit.ControlEnabled(slider))
            used.push_back(slider);
    return used;
}

std::string Describe(const TCircuit &c)
{
    return std::string(c.ActiveInfo().TabCaption) + " bass=" + std::to_string(c.Position(BuiltInControl::Bass)) +
           " mid=" + std::to_string(c.Position(BuiltInControl::Mid)) +
           " treble=" + std::to_string(c.Position(BuiltInControl::Treble));
}

// Sweeps the circuit at every grid step and compares each point with the
// nodal analysis. Returns false after the first mismatch (reported once).
bool MatchesNodalAnalysis(const TCircuit &circuit)
{
    TCircuit c = circuit;
    c.ResolutionStep = ResolutionHigh;
    TTrace trace{};
    Recalculate(c, trace);
    const TNetlist net = BuildNetlist(c);
    TNodalEngine engine(net);
    for (int k = 0; k < GridPoints; ++k) {
        const double f = GridFrequency(GridFirstStep + k);
        const double expected = GainDB(std::abs(engine.Output(f)));
        if (!(std::fabs(trace[k] - expected) <= NodalToleranceDB)) {
            ADD_FAILURE() << Describe(c) << ": at grid point " << k << " (" << f << " Hz) model "
                          << trace[k] << " dB, nodal analysis " << expected << " dB";
            return false;
        }
    }
    return true;
}

// Every combination of the given positions over the sliders the topology uses.
void ForEachSliderSetting(TCircuit &circuit, const std::vector<int> &positions,
                          const std::function<bool()> &check)
{
    const std::vector<int> used = UsedSliders(circuit);
    std::vector<std::size_t> index(used.size(), 0);
    while (true) {
        for (std::size_t i = 0; i < used.size(); ++i)
            circuit.SetPosition(used[i], positions[index[i]]);
        if (!check())
            return;
        std::size_t i = 0;
        while (i < used.size() && ++index[i] == positions.size())
            index[i++] = 0;
        if (i == used.size())
            return;
    }
}

void SetAllTapers(TCircuit &circuit, int taper)
{
    for (const TComponentDefault &part : circuit.ActiveInfo().Components)
        if (part.Kind == TElementKind::Pot)
            circuit.Symbols.AddPot(part.Name, static_cast<std::uint8_t>(taper), circuit.Symbols.GetValue(part.Name));
}

class NodalComparison : public ::testing::TestWithParam<int> {
protected:
    TCircuit MakeCircuit() const
    {
        TCircuit c;
        c.Active = GetParam();
        return c;
    }
};

TEST_P(NodalComparison, SliderPositionsAndTapers)
{
    for (int taper : {PotLinear, PotLogA, PotLogB}) {
        SCOPED_TRACE("taper " + std::to_string(taper));
        TCircuit c = MakeCircuit();
        SetAllTapers(c, taper);
        bool ok = true;
        ForEachSliderSetting(c, {0, 100, 13, 50, 77}, [&] { return ok = MatchesNodalAnalysis(c); });
        if (!ok)
            return;
    }
}

TEST_P(NodalComparison, DefaultTapersAtEveryTenthPosition)
{
    TCircuit c = MakeCircuit();
    for (int position = 0; position <= 100; position += 10) {
        for (int slider = 0; slider < BuiltInControl::Count; ++slider)
            c.SetPosition(slider, position);
        if (!MatchesNodalAnalysis(c))
            return;
    }
    // Each used slider alone at its ends, the others in the middle.
    for (int moved : UsedSliders(c)) {
        for (int end : {0, 100}) {
            for (int slider = 0; slider < BuiltInControl::Count; ++slider)
                c.SetPosition(slider, slider == moved ? end : 50);
            if (!MatchesNodalAnalysis(c))
                return;
        }
    }
}

// Scales every component of one kind in the active topology.
void Scale(TCircuit &c, TElementKind kind, double factor)
{
    for (const TComponentDefault &part : c.ActiveInfo().Components) {
        if (part.Kind != kind)
            continue;
        const double value = c.Symbols.GetValue(part.Name) * factor;
        switch (kind) {
        case TElementKind::Resistor:
            c.Symbols.AddResistor(part.Name, value);
            break;
        case TElementKind::Capacitor:
            c.Symbols.AddCapacitor(part.Name, value);
            break;
        case TElementKind::Generator:
            c.Symbols.AddGenerator(part.Name, value);
            break;
        case TElementKind::Pot:
            c.Symbols.AddPot(part.Name, c.Symbols.GetPotType(part.Name), value);
            break;
        case TElementKind::Inductor:
            c.Symbols.AddInductor(part.Name, value, c.Symbols.GetValueR(part.Name));
            break;
        }
    }
}

TEST_P(NodalComparison, ChangedComponentValues)
{
    const std::vector<std::pair<const char *, std::function<void(TCircuit &)>>> variants = {
        {"resistors doubled", [](TCircuit &c) { Scale(c, TElementKind::Resistor, 2); }},
        {"capacitors halved", [](TCircuit &c) { Scale(c, TElementKind::Capacitor, 0.5); }},
        {"pots tripled", [](TCircuit &c) { Scale(c, TElementKind::Pot, 3); }},
        {"source x10", [](TCircuit &c) { Scale(c, TElementKind::Generator, 10); }},
        {"source /1000", [](TCircuit &c) { Scale(c, TElementKind::Generator, 1e-3); }},
        {"inductors halved", [](TCircuit &c) { Scale(c, TElementKind::Inductor, 0.5); }},
        {"mixed", [](TCircuit &c) {
             Scale(c, TElementKind::Resistor, 0.37);
             Scale(c, TElementKind::Capacitor, 4.1);
             Scale(c, TElementKind::Pot, 0.5);
         }},
    };
    for (const auto &[name, apply] : variants) {
        SCOPED_TRACE(name);
        TCircuit c = MakeCircuit();
        apply(c);
        bool ok = true;
        ForEachSliderSetting(c, {0, 100, 31}, [&] { return ok = MatchesNodalAnalysis(c); });
        if (!ok)
            return;
    }
}

INSTANTIATE_TEST_SUITE_P(AllTopologies, NodalComparison,
                         ::testing::Values(PageNamed("Fender"), PageNamed("Vox"), PageNamed("Marshall"), PageNamed("James"),
                                           PageNamed("E series"), PageNamed("Bench"), PageNamed("Big muff")),
                         [](const auto &param) {
                             std::string name(TCatalogue().Page(param.param).TabCaption);
                             std::erase(name, ' ');
                             return name;
                         });

TEST(NodalComparisonBench, InductorsWithoutDcResistance)
{
    TCircuit c;
    c.Active = PageNamed("Bench");
    c.Symbols.AddInductor("SL1", 6, 0);
    c.Symbols.AddInductor("SL2", 20, 0);
    ForEachSliderSetting(c, {0, 100, 50}, [&] { return MatchesNodalAnalysis(c); });
}

TEST(NodalComparisonESeries, SourceResistanceZero)
{
    // The source lies in two loops; with no source resistance they decouple.
    TCircuit c;
    c.Active = PageNamed("E series");
    c.Symbols.AddGenerator("EG", 0);
    ForEachSliderSetting(c, {0, 100, 50}, [&] { return MatchesNodalAnalysis(c); });
}

struct Reference {
    int Id;
    double At10Hz, At100Hz, At1kHz, At10kHz, AtLast;
};

TEST(DefaultCircuitResponse, MatchesReferenceValues)
{
    const Reference references[] = {
        {PageNamed("Fender"), -12.68, -15.01, -21.98, -13.46, -13.25},
        {PageNamed("Vox"), -14.75, -13.00, -25.62, -15.76, -15.28},
        {PageNamed("Marshall"), -17.57, -5.57, -9.39, -5.02, -4.92},
        {PageNamed("James"), -22.51, -22.22, -21.74, -23.32, -23.50},
        {PageNamed("E series"), -6.87, -8.49, -7.59, -6.87, -6.86},
        {PageNamed("Bench"), -24.75, -24.88, -24.94, -24.75, -24.74},
        {PageNamed("Big muff"), -7.39, -7.58, -14.30, -7.16, -6.94},
    };
    for (const Reference &r : references) {
        for (int step : {ResolutionHigh, ResolutionMedium, ResolutionLow}) {
            TCircuit c;
            c.Active = r.Id;
            c.ResolutionStep = step;
            TTrace trace{};
            Recalculate(c, trace);
            SCOPED_TRACE(std::string(c.ActiveInfo().TabCaption) + " step " + std::to_string(step));
            // 10 Hz, 100 Hz and 1 kHz are evaluated at every resolution; 10 kHz
            // (k = 384) is not on the grid of step 16, which interpolates there.
            EXPECT_NEAR(trace[0], r.At10Hz, ReferenceToleranceDB);
            EXPECT_NEAR(trace[128], r.At100Hz, ReferenceToleranceDB);
            EXPECT_NEAR(trace[256], r.At1kHz, ReferenceToleranceDB);
            if (step != ResolutionLow) {
                EXPECT_NEAR(trace[384], r.At10kHz, ReferenceToleranceDB);
            }
            EXPECT_NEAR(trace[444], r.AtLast, ReferenceToleranceDB);
        }
    }
}

TEST(DefaultCircuitResponse, FiniteAtEverySliderEnd)
{
    for (const TCircuitDef &info : BuiltInCircuits()) {
        TCircuit c;
        c.Active = PageNamed(info.TabCaption);
        c.ResolutionStep = ResolutionHigh;
        ForEachSliderSetting(c, {0, 100}, [&] {
            TTrace trace{};
            EXPECT_NO_THROW(Recalculate(c, trace)) << Describe(c);
            for (double value : trace)
                EXPECT_TRUE(std::isfinite(value)) << Describe(c);
            return true;
        });
    }
}

} // namespace
