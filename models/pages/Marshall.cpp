// The classic stack with the whole mid pot in the lower leg: the bass pot
// meets the mid pot's top, and the mid wiper is the leg's top K.

#include "models/ClassicStack.h"
#include "components/Symbol.h"
#include "models/CircuitDef.h"

namespace cva {

namespace {

using K = TElementKind;
using S = TSlotSource;
using P = TCalcParms;

double MarshallResponse(const TCalcParms &p, double frequency)
{
    return ClassicStackResponse(p, frequency, static_cast<double>(Extended(p.R3) + p.R4a), p.R4b);
}

} // namespace

TCircuitDef MarshallCircuit()
{
    TCircuitDef page;
    page.TabCaption = "Marshall";
    page.Letter = 'M';
    page.PrintedName = "Marshall";
    page.Drawing = "marshall";
    page.PageOrder = 3;
    page.Components = {
        {"MG", K::Generator, 1300, 0},      {"MR1", K::Resistor, 33000, 0},    {"MR2", K::Pot, 220000, PotLinear},
        {"MR3", K::Pot, 1000000, PotLogB},  {"MR4", K::Pot, 25000, PotLinear}, {"MR5", K::Resistor, 517000, 0},
        {"MC1", K::Capacitor, 4.7e-10, 0}, {"MC2", K::Capacitor, 2.2e-8, 0},  {"MC3", K::Capacitor, 2.2e-8, 0},
    };
    page.Controls = {{"Bass", {"MR3"}}, {"Mid", {"MR4"}}, {"Treble", {"MR2"}}};
    page.Loop = TLoopModel{MarshallResponse, {
        {&P::R1, "MR1"},
        {&P::R2a, "MR2", S::Rest},
        {&P::R2b, "MR2", S::Part},
        {&P::R3, "MR3", S::Part},
        {&P::R4a, "MR4", S::Rest},
        {&P::R4b, "MR4", S::Part},
        {&P::R5, "MR5"},
        {&P::C1, "MC1"},
        {&P::C2, "MC2"},
        {&P::C3, "MC3"},
        {&P::RG, "MG"},
    }};
    // As on the Fender page, with J the mid pot's top and K its wiper.
    page.Branches = {
        {K::Resistor, "MR1", "A", "B"},   {K::Capacitor, "MC1", "A", "T"},
        {K::Pot, "MR2", "T", "M", "W"},
        {K::Capacitor, "MC2", "B", "M"},  {K::Capacitor, "MC3", "B", "K"},
        {K::Pot, "MR3", "M", "J"}, {K::Pot, "MR4", "J", "0", "K"},
        {K::Resistor, "MR5", "W", "0"},
    };
    page.InputNode = "A";
    page.OutputNode = "W";
    return page;
}

} // namespace cva
