#include "document/Catalogue.h"

#include "pages/BuiltInCircuits.h"
#include "numerics/Error.h"

namespace cva {

namespace {

const std::vector<std::shared_ptr<const TCircuitDef>> &BuiltInPages()
{
    // The descriptions live for the whole run; the pointers only share them.
    static const std::vector<std::shared_ptr<const TCircuitDef>> pages = [] {
        std::vector<std::shared_ptr<const TCircuitDef>> all;
        for (const TCircuitDef &page : BuiltInCircuits())
            all.emplace_back(std::shared_ptr<const TCircuitDef>(), &page);
        return all;
    }();
    return pages;
}

} // namespace

TCatalogue::TCatalogue() : Pages(BuiltInPages()) {}

int TCatalogue::Add(TCircuitDef page)
{
    Pages.push_back(std::make_shared<const TCircuitDef>(std::move(page)));
    return Count() - 1;
}

void TCatalogue::Replace(int index, TCircuitDef page)
{
    Replace(index, std::make_shared<const TCircuitDef>(std::move(page)));
}

void TCatalogue::Replace(int index, std::shared_ptr<const TCircuitDef> page)
{
    Pages.at(std::size_t(index)) = std::move(page);
}

std::optional<int> TCatalogue::FromCaption(std::string_view caption, TMatch match) const
{
    for (int i = 0; i < Count(); ++i) {
        const std::string &name = Pages[std::size_t(i)]->TabCaption;
        if (match == TMatch::Exact ? name == caption : NameEqual(name, caption))
            return i;
    }
    return std::nullopt;
}

std::string TCatalogue::CaptionList() const
{
    std::string list;
    for (const auto &page : Pages)
        list += (list.empty() ? "" : ", ") + page->TabCaption;
    return list;
}

int PageNamed(std::string_view caption)
{
    if (const auto page = TCatalogue().FromCaption(caption))
        return *page;
    throw CorvantaError("No page is called " + std::string(caption));
}

TSymbolList DefaultValues(const TCircuitDef &page)
{
    using K = TElementKind;
    TSymbolList values;
    for (const TComponentDefault &part : page.Components) {
        switch (part.Kind) {
        case K::Generator:
            values.AddGenerator(part.Name, part.Value);
            break;
        case K::Resistor:
            values.AddResistor(part.Name, part.Value);
            break;
        case K::Pot:
            values.AddPot(part.Name, static_cast<std::uint8_t>(part.Second), part.Value);
            break;
        case K::Capacitor:
            values.AddCapacitor(part.Name, part.Value);
            break;
        case K::Inductor:
            values.AddInductor(part.Name, part.Value, part.Second);
            break;
        }
    }
    return values;
}

} // namespace cva
