#pragma once

// The one store of component values: symbols kept by name in ascending,
// case-insensitive order, and the potentiometer taper laws that split a pot
// into its two sections for a slider position.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "components/Symbol.h"

namespace cva {

class TSymbolList {
public:
    struct Entry {
        std::string Name;
        std::unique_ptr<TSymbol> Symbol;
    };

    TSymbolList() = default;
    TSymbolList(const TSymbolList &other);
    TSymbolList &operator=(const TSymbolList &other);
    TSymbolList(TSymbolList &&) noexcept = default;
    TSymbolList &operator=(TSymbolList &&) noexcept = default;
    // The same names holding the same kinds and values.
    bool operator==(const TSymbolList &other) const;

    // Adding a name that exists replaces its symbol.
    void AddCapacitor(std::string_view name, double value);
    void AddGenerator(std::string_view name, double value);
    void AddInductor(std::string_view name, double value, double valueR);
    void AddPot(std::string_view name, std::uint8_t potType, double value);
    void AddResistor(std::string_view name, double value);

    void Edit(std::string_view name, TEditDialogs &dialogs, char decimalSeparator);
    std::string GetCaption(std::string_view name, char decimalSeparator = '.') const;
    std::uint8_t GetPotType(std::string_view name) const;
    std::string GetPotTypeLabel(std::string_view name) const;
    double GetValue(std::string_view name) const;
    double GetValueR(std::string_view name) const;
    void SetInfo(std::string_view name, std::string_view text, char decimalSeparator = '.');

    // Taper-adjusted fraction of the travel for a slider at position/maximum.
    double GetPotFraction(std::string_view name, int position, int maximum) const;
    // The section that grows as the slider moves up, plus its 1 ohm.
    double GetPotPart(std::string_view name, int position, int maximum) const;
    // The other section, plus its 1 ohm.
    double GetPotRest(std::string_view name, int position, int maximum) const;

    bool Contains(std::string_view name) const;
    const TSymbol &Find(std::string_view name) const { return *Lookup(name, "Find"); }
    std::size_t Count() const { return Entries.size(); }
    auto begin() const { return Entries.begin(); }
    auto end() const { return Entries.end(); }

private:
    void Add(std::string_view name, std::unique_ptr<TSymbol> symbol);
    std::vector<Entry>::const_iterator LowerBound(std::string_view name) const;
    TSymbol *Lookup(std::string_view name, const char *operation) const;

    std::vector<Entry> Entries;
};

// Case-insensitive name order: digits before letters, as in "BC4" < "BG" < "BR1".
bool NameLess(std::string_view a, std::string_view b);
bool NameEqual(std::string_view a, std::string_view b);

} // namespace cva
