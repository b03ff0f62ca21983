#include "components/SymbolList.h"

#include <algorithm>

#include "components/TaperLaw.h"
#include "numerics/Error.h"

namespace cva {

namespace {

char Upper(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }

using Extended = long double;

} // namespace

bool NameLess(std::string_view a, std::string_view b)
{
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return static_cast<unsigned char>(Upper(x)) < static_cast<unsigned char>(Upper(y));
    });
}

bool NameEqual(std::string_view a, std::string_view b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Upper(x) == Upper(y); });
}

TSymbolList::TSymbolList(const TSymbolList &other)
{
    Entries.reserve(other.Entries.size());
    for (const Entry &entry : other.Entries)
        Entries.push_back({entry.Name, entry.Symbol->Clone()});
}

TSymbolList &TSymbolList::operator=(const TSymbolList &other)
{
    if (this != &other) {
        TSymbolList copy(other);
        *this = std::move(copy);
    }
    return *this;
}

bool TSymbolList::operator==(const TSymbolList &other) const
{
    return std::equal(Entries.begin(), Entries.end(), other.Entries.begin(), other.Entries.end(),
                      [](const Entry &a, const Entry &b) { return a.Name == b.Name && a.Symbol->SameAs(*b.Symbol); });
}

std::vector<TSymbolList::Entry>::const_iterator TSymbolList::LowerBound(std::string_view name) const
{
    return std::lower_bound(Entries.begin(), Entries.end(), name,
                            [](const Entry &entry, std::string_view key) { return NameLess(entry.Name, key); });
}

void TSymbolList::Add(std::string_view name, std::unique_ptr<TSymbol> symbol)
{
    auto at = Entries.begin() + (LowerBound(name) - Entries.begin());
    if (at != Entries.end() && NameEqual(at->Name, name))
        at->Symbol = std::move(symbol);
    else
        Entries.insert(at, Entry{std::string(name), std::move(symbol)});
}

TSymbol *TSymbolList::Lookup(std::string_view name, const char *operation) const
{
    const auto at = LowerBound(name);
    if (at == Entries.end() || !NameEqual(at->Name, name))
        throw CorvantaError("Unhandled symbol " + std::string(name) + " in TSymbolList::" + operation);
    return at->Symbol.get();
}

bool TSymbolList::Contains(std::string_view name) const
{
    const auto at = LowerBound(name);
    return at != Entries.end() && NameEqual(at->Name, name);
}

void TSymbolList::AddCapacitor(std::string_view name, double value)
{
    Add(name, std::make_unique<TSymbolCapacitor>(value));
}

void TSymbolList::AddGenerator(std::string_view name, double value)
{
    Add(name, std::make_unique<TSymbolGenerator>(value));
}

void TSymbolList::AddInductor(std::string_view name, double value, double valueR)
{
    Add(name, std::make_unique<TSymbolInductor>(value, valueR));
}

void TSymbolList::AddPot(std::string_view name, std::uint8_t potType, double value)
{
    Add(name, std::make_unique<TSymbolPot>(potType, value));
}

void TSymbolList::AddResistor(std::string_view name, double value)
{
    Add(name, std::make_unique<TSymbolResistor>(value));
}

void TSymbolList::Edit(std::string_view name, TEditDialogs &dialogs, char decimalSeparator)
{
    Lookup(name, "Edit")->Edit(dialogs, decimalSeparator);
}

std::string TSymbolList::GetCaption(std::string_view name, char decimalSeparator) const
{
    return Lookup(name, "GetCaption")->GetCaption(decimalSeparator);
}

std::uint8_t TSymbolList::GetPotType(std::string_view name) const
{
    const auto *pot = dynamic_cast<const TSymbolPot *>(Lookup(name, "GetPotType"));
    if (!pot)
        throw CorvantaError(std::string(name) + " is not of type pot in TSymbolList::GetPotType");
    return pot->GetPotType();
}

std::string TSymbolList::GetPotTypeLabel(std::string_view name) const
{
    return TaperLabel(GetPotType(name));
}

double TSymbolList::GetValue(std::string_view name) const
{
    return Lookup(name, "GetValue")->GetValue();
}

double TSymbolList::GetValueR(std::string_view name) const
{
    return Lookup(name, "GetValueR")->GetValueR();
}

void TSymbolList::SetInfo(std::string_view name, std::string_view text, char decimalSeparator)
{
    Lookup(name, "SetInfo")->SetInfo(text, decimalSeparator);
}

double TSymbolList::GetPotFraction(std::string_view name, int position, int maximum) const
{
    return TaperFraction(GetPotType(name), static_cast<double>(Extended(position) / maximum));
}

double TSymbolList::GetPotPart(std::string_view name, int position, int maximum) const
{
    const double fraction = GetPotFraction(name, position, maximum);
    return static_cast<double>(Extended(GetValue(name)) * fraction + 1);
}

double TSymbolList::GetPotRest(std::string_view name, int position, int maximum) const
{
    const double fraction = GetPotFraction(name, position, maximum);
    return static_cast<double>((1 - Extended(fraction)) * GetValue(name) + 1);
}

} // namespace cva
