// The classic stack with the mid pot as a variable resistor from the bass
// pot's lower end to ground.

#include "models/ClassicStack.h"
#include "components/Symbol.h"
#include "models/CircuitDef.h"

namespace cva {

namespace {

using K = TElementKind;
using S = TSlotSource;
using P = TCalcParms;

double FenderResponse(const TCalcParms &p, double frequency)
{
    return ClassicStackResponse(p, frequency, p.R3, p.R4);
}

} // namespace

TCircuitDef FenderCircuit()
{
    TCircuitDef page;
    page.TabCaption = "Fender";
    page.Letter = 'F';
    page.PrintedName = "Fender";
    page.Drawing = "fender";
    page.PageOrder = 1;
    page.Components = {
        {"FG", K::Generator, 38000, 0},    {"FR1", K::Resistor, 100000, 0}, {"FR2", K::Pot, 250000, PotLogA},
        {"FR3", K::Pot, 250000, PotLogA},  {"FR4", K::Pot, 10000, PotLinear}, {"FR5", K::Resistor, 1000000, 0},
        {"FC1", K::Capacitor, 2.5e-10, 0}, {"FC2", K::Capacitor, 1e-7, 0},    {"FC3", K::Capacitor, 4.7e-8, 0},
    };
    page.Controls = {{"Bass", {"FR3"}}, {"Mid", {"FR4"}}, {"Treble", {"FR2"}}};
    page.Loop = TLoopModel{FenderResponse, {
        {&P::R1, "FR1"},
        {&P::R2a, "FR2", S::Rest},
        {&P::R2b, "FR2", S::Part},
        {&P::R3, "FR3", S::Part},
        {&P::R4, "FR4", S::Part},
        {&P::R5, "FR5"},
        {&P::C1, "FC1"},
        {&P::C2, "FC2"},
        {&P::C3, "FC3"},
        {&P::RG, "FG"},
    }};
    // A input, T treble pot top, W treble wiper (output), M bass pot top, B the
    // C2/C3 junction, K the top of the mid pot.
    page.Branches = {
        {K::Resistor, "FR1", "A", "B"},   {K::Capacitor, "FC1", "A", "T"},
        {K::Pot, "FR2", "T", "M", "W"},
        {K::Capacitor, "FC2", "B", "M"},  {K::Capacitor, "FC3", "B", "K"},
        {K::Pot, "FR3", "M", "K"}, {K::Pot, "FR4", "K", "0"},
        {K::Resistor, "FR5", "W", "0"},
    };
    page.InputNode = "A";
    page.OutputNode = "W";
    return page;
}

} // namespace cva
