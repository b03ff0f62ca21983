#pragma once

// The circuit state that the desktop program and the command-line tool both
// drive: active topology, the three slider positions, every component of the
// seven topologies and the sweep resolution.

#include <array>
#include <string>

#include "components/SymbolList.h"
#include "document/Topology.h"
#include "models/Calc.h"

namespace cva {

class TCircuit {
public:
    // The default circuits, Fender active, sliders at 50, medium resolution.
    TCircuit();

    Topology Active = Topology::Fender;
    TSymbolList Symbols;
    int ResolutionStep = ResolutionMedium;

    const TTopologyInfo &ActiveInfo() const { return TopologyInfo(Active); }
    int Position(TSlider slider) const { return Positions[int(slider)]; }
    // Clamps to 0..100. Returns true when the position changed.
    bool SetPosition(TSlider slider, int position);
    bool SliderEnabled(TSlider slider) const { return ActiveInfo().UsesSlider(slider); }
    // "Linear", "Log A", "Log B" for the pot the slider moves, "n/a" where unused.
    std::string TaperLabel(TSlider slider) const;

    bool operator==(const TCircuit &) const = default;

private:
    std::array<int, 3> Positions{50, 50, 50};
};

// Fills the parameter block of the active topology from the store and sliders.
TCalcParms SetCalcParms(const TCircuit &circuit);

// SetCalcParms and the active topology's sweep into the live trace.
void Recalculate(const TCircuit &circuit, TTrace &live);

} // namespace cva
