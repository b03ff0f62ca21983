#pragma once

// What one tone-stack page is, in one description: its identity, its
// components with their defaults, which slider moves which pot, how the
// components fill the parameter slots of its loop model, the loop model
// itself, and its circuit as a branch list for the circuit engine.
// Each topology file (models/Fender.cpp and so on) defines one.

#include <array>
#include <span>
#include <string_view>

#include "models/Calc.h"

namespace cva {

enum class Topology { Fender, Vox, Marshall, James, ESeries, Bench, BigMuff };
constexpr int TopologyCount = 7;

enum class TSlider { Bass, Mid, Treble };
constexpr std::array<TSlider, 3> AllSliders{TSlider::Bass, TSlider::Mid, TSlider::Treble};
constexpr int SliderMaximum = 100;

constexpr std::string_view SliderName(TSlider slider)
{
    constexpr std::string_view names[] = {"Bass", "Mid", "Treble"};
    return names[int(slider)];
}

enum class TComponentKind { Generator, Resistor, Pot, Capacitor, Inductor };

struct TComponentDefault {
    std::string_view Name;
    TComponentKind Kind;
    double Value;
    double Second; // taper of a pot, DC resistance of an inductor
};

// What a parameter slot takes from its component: the value, an inductor's
// DC resistance, or one of a pot's two sections at a slider's position.
enum class TSlotSource { Value, ValueR, Part, Rest };

struct TSlotAssignment {
    double TCalcParms::*Slot;
    std::string_view Component;
    TSlotSource Source = TSlotSource::Value;
    TSlider Slider = TSlider::Bass; // for Part and Rest
};

// A branch of the circuit between named nodes ("0" is ground). A pot wired
// as a divider has its Rest section from From to Wiper and its Part section
// (the one that grows as its slider moves up) from Wiper to To; a pot wired
// as a variable resistor is its Part section from From to To. The slider of
// a pot is the one SliderPots binds it to. A fixed resistor is part of the
// circuit's wiring rather than of the store, and carries its own Ohms.
enum class TBranchKind { Resistor, Capacitor, Inductor, PotDivider, PotVariable, FixedResistor };

struct TBranchSpec {
    TBranchKind Kind;
    std::string_view Component;
    std::string_view From;
    std::string_view To;
    std::string_view Wiper = {};
    double Ohms = 0;
};

using TSweepFunction = void (*)(const TCalcParms &, int step, TTrace &live);

struct TTopologyInfo {
    Topology Id;
    std::string_view TabCaption;  // also the "Tab" value of the circuit file
    char Letter;                  // first letter of every component name
    std::string_view PrintedName; // heading of the printed page
    // Pot moved by Bass, Mid and Treble; empty where the slider is not in use.
    std::array<std::string_view, 3> SliderPots;
    std::span<const TComponentDefault> Components;
    std::span<const TSlotAssignment> Slots;
    TResponseFunction Response;
    // The circuit: the source drives InputNode through the generator's
    // resistance; the gain is read at OutputNode.
    std::span<const TBranchSpec> Branches;
    std::string_view InputNode;
    std::string_view OutputNode;

    bool UsesSlider(TSlider slider) const { return !SliderPots[int(slider)].empty(); }
    void Sweep(const TCalcParms &parms, int step, TTrace &live) const { CalcTrace(Response, parms, step, live); }
};

extern const TTopologyInfo FenderTopology;
extern const TTopologyInfo VoxTopology;
extern const TTopologyInfo MarshallTopology;
extern const TTopologyInfo JamesTopology;
extern const TTopologyInfo ESeriesTopology;
extern const TTopologyInfo BenchTopology;
extern const TTopologyInfo BigMuffTopology;

} // namespace cva
