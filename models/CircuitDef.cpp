#include "models/CircuitDef.h"

#include <algorithm>
#include <cctype>

#include "numerics/Error.h"

namespace cva {

namespace {

bool SameName(std::string_view a, std::string_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                       [](char x, char y) { return std::toupper(static_cast<unsigned char>(x)) ==
                                                   std::toupper(static_cast<unsigned char>(y)); });
}

} // namespace

bool TCircuitDef::UsesControl(int control) const
{
    return control >= 0 && control < ControlCount() && Controls[std::size_t(control)].InUse();
}

int TCircuitDef::ControlOf(std::string_view pot) const
{
    for (int c = 0; c < ControlCount(); ++c)
        for (const std::string &name : Controls[std::size_t(c)].Pots)
            if (SameName(name, pot))
                return c;
    return -1;
}

std::string_view TCircuitDef::LeadPot(int control) const
{
    return UsesControl(control) && !Controls[std::size_t(control)].Pots.empty()
               ? std::string_view(Controls[std::size_t(control)].Pots.front())
               : std::string_view();
}

const TComponentDefault *TCircuitDef::FindComponent(std::string_view name) const
{
    for (const TComponentDefault &part : Components)
        if (SameName(part.Name, name))
            return &part;
    return nullptr;
}

const TBranchSpec *TCircuitDef::FindWiring(std::string_view name) const
{
    for (const TBranchSpec &branch : Branches)
        if (branch.FixedOhms && SameName(branch.Component, name))
            return &branch;
    return nullptr;
}

std::string_view TCircuitDef::ShownName(std::string_view part) const
{
    // The schematics mark the source's resistance "Zsrc", not by its stored name.
    if (const TComponentDefault *component = FindComponent(part);
        component && component->Kind == TElementKind::Generator)
        return "Zsrc";
    const bool lettered = Letter != 0 && part.size() > 1 &&
                          std::toupper(static_cast<unsigned char>(part.front())) ==
                              std::toupper(static_cast<unsigned char>(Letter));
    return lettered ? part.substr(1) : part;
}

void TCircuitDef::Sweep(const TCalcParms &parms, int step, TTrace &live) const
{
    if (!Loop)
        throw CorvantaError("The " + TabCaption + " page has no loop model");
    CalcTrace(Loop->Response, parms, step, live);
}

} // namespace cva
