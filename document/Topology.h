#pragma once

// The seven topologies: identity, default components and which sliders move
// which potentiometers.

#include <array>
#include <optional>
#include <span>
#include <string_view>

#include "components/SymbolList.h"
#include "models/Calc.h"

namespace cva {

enum class Topology { Fender, Vox, Marshall, James, ESeries, Bench, BigMuff };
constexpr int TopologyCount = 7;

enum class TSlider { Bass, Mid, Treble };
constexpr std::array<TSlider, 3> AllSliders{TSlider::Bass, TSlider::Mid, TSlider::Treble};
constexpr int SliderMaximum = 100;

enum class TComponentKind { Generator, Resistor, Pot, Capacitor, Inductor };

struct TComponentDefault {
    std::string_view Name;
    TComponentKind Kind;
    double Value;
    double Second; // taper of a pot, DC resistance of an inductor
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
    TSweepFunction Sweep;

    bool UsesSlider(TSlider slider) const { return !SliderPots[int(slider)].empty(); }
};

const std::array<TTopologyInfo, TopologyCount> &Topologies();
const TTopologyInfo &TopologyInfo(Topology topology);
// Exact, case-sensitive match against the tab captions.
std::optional<Topology> TopologyFromCaption(std::string_view caption);

// Fills the store with the default components of all seven topologies.
void CreateDefaultCircuits(TSymbolList &symbols);

} // namespace cva
