#pragma once

// The values of every page of a circuit: one table per page, in page order.
// A component is found by its name in whichever page has it; the built-in
// pages' names are unique (each starts with its page's letter), and so the
// circuit file's flat list of names maps to the tables and back.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "components/SymbolList.h"

namespace cva {

class TCircuitValues {
public:
    void AddPage(TSymbolList table) { Tables.push_back(std::move(table)); }
    int PageCount() const { return int(Tables.size()); }
    const TSymbolList &Page(int index) const { return Tables.at(std::size_t(index)); }
    TSymbolList &Page(int index) { return Tables.at(std::size_t(index)); }
    // The page that has the name; -1 when none has.
    int PageOf(std::string_view name) const;

    // A name no page has goes to the first page.
    void AddCapacitor(std::string_view name, double value);
    void AddGenerator(std::string_view name, double value);
    void AddInductor(std::string_view name, double value, double valueR);
    void AddPot(std::string_view name, std::uint8_t potType, double value);
    void AddResistor(std::string_view name, double value);

    // As TSymbolList's, for the component of that name in any page.
    void Edit(std::string_view name, TEditDialogs &dialogs, char decimalSeparator);
    std::string GetCaption(std::string_view name, char decimalSeparator = '.') const;
    std::uint8_t GetPotType(std::string_view name) const;
    std::string GetPotTypeLabel(std::string_view name) const;
    double GetValue(std::string_view name) const;
    double GetValueR(std::string_view name) const;
    void SetInfo(std::string_view name, std::string_view text, char decimalSeparator = '.');
    bool Contains(std::string_view name) const { return PageOf(name) >= 0; }
    const TSymbol &Find(std::string_view name) const { return Table(name, "Find").Find(name); }
    std::size_t Count() const;

    // Every component of every page in name order, as the circuit file lists them.
    std::vector<const TSymbolList::Entry *> InNameOrder() const;

    bool operator==(const TCircuitValues &) const = default;

private:
    const TSymbolList &Table(std::string_view name, const char *operation) const;
    TSymbolList &Table(std::string_view name, const char *operation);
    TSymbolList &TableForAdding(std::string_view name);

    std::vector<TSymbolList> Tables;
};

} // namespace cva
