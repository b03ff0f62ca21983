#include "document/ComponentNames.h"

namespace cva {

std::string ComponentOnPage(const TCircuit &circuit, std::string_view name)
{
    const int page = circuit.Symbols.PageOf(name);
    if (page < 0)
        return std::string(name);
    const TCircuitDef &definition = circuit.Pages().Page(page);
    return std::string(definition.ShownName(name)) + " on the " + definition.TabCaption + " page";
}

std::string PageComponentNames(const TCircuit &circuit, int page)
{
    std::string names;
    for (const TSymbolList::Entry &entry : circuit.Symbols.Page(page))
        names += (names.empty() ? "" : ", ") + entry.Name;
    return names;
}

} // namespace cva
