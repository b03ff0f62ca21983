#include "document/CircuitValues.h"

#include <algorithm>
#include <utility>

#include "numerics/Error.h"

namespace cva {

int TCircuitValues::PageOf(std::string_view name) const
{
    for (int i = 0; i < PageCount(); ++i)
        if (Tables[std::size_t(i)].Contains(name))
            return i;
    return -1;
}

const TSymbolList &TCircuitValues::Table(std::string_view name, const char *operation) const
{
    const int page = PageOf(name);
    if (page < 0)
        throw CorvantaError("Unhandled symbol " + std::string(name) + " in TSymbolList::" + operation);
    return Tables[std::size_t(page)];
}

TSymbolList &TCircuitValues::Table(std::string_view name, const char *operation)
{
    return const_cast<TSymbolList &>(std::as_const(*this).Table(name, operation));
}

TSymbolList &TCircuitValues::TableForAdding(std::string_view name)
{
    const int page = PageOf(name);
    return Tables.at(page < 0 ? 0 : std::size_t(page));
}

void TCircuitValues::AddCapacitor(std::string_view name, double value)
{
    TableForAdding(name).AddCapacitor(name, value);
}

void TCircuitValues::AddGenerator(std::string_view name, double value)
{
    TableForAdding(name).AddGenerator(name, value);
}

void TCircuitValues::AddInductor(std::string_view name, double value, double valueR)
{
    TableForAdding(name).AddInductor(name, value, valueR);
}

void TCircuitValues::AddPot(std::string_view name, std::uint8_t potType, double value)
{
    TableForAdding(name).AddPot(name, potType, value);
}

void TCircuitValues::AddResistor(std::string_view name, double value)
{
    TableForAdding(name).AddResistor(name, value);
}

void TCircuitValues::Edit(std::string_view name, TEditDialogs &dialogs, char decimalSeparator)
{
    Table(name, "Edit").Edit(name, dialogs, decimalSeparator);
}

std::string TCircuitValues::GetCaption(std::string_view name, char decimalSeparator) const
{
    return Table(name, "GetCaption").GetCaption(name, decimalSeparator);
}

std::uint8_t TCircuitValues::GetPotType(std::string_view name) const
{
    return Table(name, "GetPotType").GetPotType(name);
}

std::string TCircuitValues::GetPotTypeLabel(std::string_view name) const
{
    return Table(name, "GetPotTypeLabel").GetPotTypeLabel(name);
}

double TCircuitValues::GetValue(std::string_view name) const
{
    return Table(name, "GetValue").GetValue(name);
}

double TCircuitValues::GetValueR(std::string_view name) const
{
    return Table(name, "GetValueR").GetValueR(name);
}

void TCircuitValues::SetInfo(std::string_view name, std::string_view text, char decimalSeparator)
{
    Table(name, "SetInfo").SetInfo(name, text, decimalSeparator);
}

std::size_t TCircuitValues::Count() const
{
    std::size_t count = 0;
    for (const TSymbolList &table : Tables)
        count += table.Count();
    return count;
}

std::vector<const TSymbolList::Entry *> TCircuitValues::InNameOrder() const
{
    std::vector<const TSymbolList::Entry *> entries;
    for (const TSymbolList &table : Tables)
        for (const TSymbolList::Entry &entry : table)
            entries.push_back(&entry);
    std::stable_sort(entries.begin(), entries.end(), [](const auto *a, const auto *b) { return NameLess(a->Name, b->Name); });
    return entries;
}

} // namespace cva
