#include "document/Circuit.h"

#include <algorithm>

namespace cva {

TCircuit::TCircuit()
{
    CreateDefaultCircuits(Symbols);
}

bool TCircuit::SetPosition(TSlider slider, int position)
{
    const int clamped = std::clamp(position, 0, SliderMaximum);
    int &current = Positions[int(slider)];
    if (current == clamped)
        return false;
    current = clamped;
    return true;
}

std::string TCircuit::TaperLabel(TSlider slider) const
{
    const std::string_view pot = ActiveInfo().SliderPots[int(slider)];
    return pot.empty() ? "n/a" : Symbols.GetPotTypeLabel(pot);
}

TCalcParms SetCalcParms(const TCircuit &circuit)
{
    const TSymbolList &s = circuit.Symbols;
    TCalcParms p;
    for (const TSlotAssignment &slot : circuit.ActiveInfo().Slots) {
        const int position = circuit.Position(slot.Slider);
        double value = 0;
        switch (slot.Source) {
        case TSlotSource::Value:
            value = s.GetValue(slot.Component);
            break;
        case TSlotSource::ValueR:
            value = s.GetValueR(slot.Component);
            break;
        case TSlotSource::Part:
            value = s.GetPotPart(slot.Component, position, SliderMaximum);
            break;
        case TSlotSource::Rest:
            value = s.GetPotRest(slot.Component, position, SliderMaximum);
            break;
        }
        p.*slot.Slot = value;
    }
    return p;
}

void Recalculate(const TCircuit &circuit, TTrace &live)
{
    circuit.ActiveInfo().Sweep(SetCalcParms(circuit), circuit.ResolutionStep, live);
}

} // namespace cva
