#include "document/Circuit.h"

#include <algorithm>

#include "numerics/Error.h"

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
    const TCalcParms parms = SetCalcParms(circuit);
    try {
        circuit.ActiveInfo().Sweep(parms, circuit.ResolutionStep, live);
    } catch (const CorvantaError &error) {
        // The sweep fails only on a response that is no finite number, which
        // a reactance or source that vanishes produces.
        throw CorvantaError(std::string(error.what()) + " on the " + std::string(circuit.ActiveInfo().TabCaption) +
                            " page; the likely cause is a capacitance, inductance or gain of zero");
    }
}

} // namespace cva
