#include "document/Circuit.h"

#include <algorithm>

#include "document/FailureCause.h"
#include "document/Netlist.h"
#include "models/NodalEngine.h"
#include "numerics/Error.h"

namespace cva {

namespace {

constexpr int StartPosition = SliderMaximum / 2;

} // namespace

TCircuit::TCircuit()
{
    for (int page = 0; page < FPages.Count(); ++page)
        Symbols.AddPage(DefaultValues(FPages.Page(page)));
    FPositions.assign(std::size_t(ActiveInfo().ControlCount()), StartPosition);
}

int TCircuit::AddPage(TCircuitDef page)
{
    Symbols.AddPage(DefaultValues(page));
    return FPages.Add(std::move(page));
}

void TCircuit::ReplacePage(int index, TCircuitDef page, TPageValues values)
{
    if (values == TPageValues::New)
        Symbols.Page(index) = DefaultValues(page);
    FPages.Replace(index, std::move(page));
}

TPageState TCircuit::PageState(int index) const
{
    const auto own = FOwnPositions.find(index);
    return {FPages.Shared(index), Symbols.Page(index), own == FOwnPositions.end() ? std::vector<int>() : own->second};
}

void TCircuit::SetPageState(int index, TPageState state)
{
    Symbols.Page(index) = std::move(state.Values);
    FPages.Replace(index, std::move(state.Page));
    if (state.OwnPositions.empty())
        FOwnPositions.erase(index);
    else
        FOwnPositions[index] = std::move(state.OwnPositions);
}

int TCircuit::PageWithPart(std::string_view name) const
{
    return ActiveValues().Contains(name) ? Active : Symbols.PageOf(name);
}

const std::vector<int> &TCircuit::Positions() const
{
    static const std::vector<int> none;
    if (!ActiveInfo().IsNetlist())
        return FPositions;
    const auto own = FOwnPositions.find(Active);
    return own == FOwnPositions.end() ? none : own->second;
}

std::vector<int> &TCircuit::Positions()
{
    return ActiveInfo().IsNetlist() ? FOwnPositions[Active] : FPositions;
}

int TCircuit::Position(int control) const
{
    const std::vector<int> &positions = Positions();
    return control >= 0 && std::size_t(control) < positions.size() ? positions[std::size_t(control)] : StartPosition;
}

bool TCircuit::SetPosition(int control, int position)
{
    if (control < 0)
        return false;
    std::vector<int> &positions = Positions();
    if (std::size_t(control) >= positions.size())
        positions.resize(std::size_t(control) + 1, StartPosition);
    const int clamped = std::clamp(position, 0, SliderMaximum);
    int &current = positions[std::size_t(control)];
    if (current == clamped)
        return false;
    current = clamped;
    return true;
}

std::optional<int> TCircuit::FindControl(std::string_view label) const
{
    for (int control = 0; control < ControlCount(); ++control)
        if (NameEqual(ActiveInfo().Controls[std::size_t(control)].Label, label))
            return control;
    return std::nullopt;
}

std::string TCircuit::TaperLabel(int control) const
{
    const std::string_view pot = ActiveInfo().LeadPot(control);
    if (pot.empty())
        // A netlist parameter moves its values in proportion to the position.
        return ControlEnabled(control) ? "Linear" : "n/a";
    return Symbols.GetPotTypeLabel(pot);
}

int PotPosition(const TCircuit &circuit, std::string_view pot)
{
    const int control = circuit.ActiveInfo().ControlOf(pot);
    if (control < 0)
        throw CorvantaError("No control turns " + std::string(pot) + " on the " + circuit.ActiveInfo().TabCaption +
                            " page");
    return circuit.Position(control);
}

TCalcParms SetCalcParms(const TCircuit &circuit)
{
    const TCircuitDef &page = circuit.ActiveInfo();
    if (!page.Loop)
        throw CorvantaError("The " + page.TabCaption + " page has no loop model");
    const TSymbolList &s = circuit.ActiveValues();
    TCalcParms p;
    for (const TSlotAssignment &slot : page.Loop->Slots) {
        double value = 0;
        switch (slot.Source) {
        case TSlotSource::Value:
            value = s.GetValue(slot.Component);
            break;
        case TSlotSource::ValueR:
            value = s.GetValueR(slot.Component);
            break;
        case TSlotSource::Part:
            value = s.GetPotPart(slot.Component, PotPosition(circuit, slot.Component), SliderMaximum);
            break;
        case TSlotSource::Rest:
            value = s.GetPotRest(slot.Component, PotPosition(circuit, slot.Component), SliderMaximum);
            break;
        case TSlotSource::Wiring:
            if (const TBranchSpec *wire = page.FindWiring(slot.Component))
                value = *wire->FixedOhms;
            else
                throw CorvantaError("The " + page.TabCaption + " page has no wire " + slot.Component);
            break;
        }
        p.*slot.Slot = value;
    }
    return p;
}

void Recalculate(const TCircuit &circuit, TTrace &live)
{
    if (!circuit.ActiveInfo().Loop) {
        CalcGainCurve(BuildNetlist(circuit), circuit.ResolutionStep, live);
        return;
    }
    const TCalcParms parms = SetCalcParms(circuit);
    try {
        circuit.ActiveInfo().Sweep(parms, circuit.ResolutionStep, live);
    } catch (const CorvantaError &error) {
        // The sweep fails only on a response that is no finite number; the
        // page's values usually say which part made it so.
        const std::string cause = SweepFailureCause(circuit);
        throw CorvantaError(cause.empty() ? std::string(error.what()) + " on the " + circuit.ActiveInfo().TabCaption +
                                                " page: its values leave no finite gain"
                                          : cause);
    }
}

} // namespace cva
