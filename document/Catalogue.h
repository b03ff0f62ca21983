#pragma once

// The pages the program knows: the built-in circuits in page order, then any
// added at run time. A page is found by its index or by its caption.

#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "components/SymbolList.h"
#include "models/CircuitDef.h"

namespace cva {

class TCatalogue {
public:
    // The built-in pages.
    TCatalogue();

    int Count() const { return int(Pages.size()); }
    const TCircuitDef &Page(int index) const { return *Pages.at(std::size_t(index)); }
    // Adds a page after the others and returns its index.
    int Add(TCircuitDef page);
    // Puts another page in the place of the one at 'index'.
    void Replace(int index, TCircuitDef page);
    // A page as it is held, the same page for every catalogue that shares it.
    std::shared_ptr<const TCircuitDef> Shared(int index) const { return Pages.at(std::size_t(index)); }
    void Replace(int index, std::shared_ptr<const TCircuitDef> page);
    // Exact, case-sensitive match against the captions, as circuit files
    // compare them; with AnyCase, letter case is ignored.
    enum class TMatch { Exact, AnyCase };
    std::optional<int> FromCaption(std::string_view caption, TMatch match = TMatch::Exact) const;
    // "Fender, Vox, ..." for messages and usage texts.
    std::string CaptionList() const;

    // The same pages in the same order.
    bool operator==(const TCatalogue &) const = default;

private:
    std::vector<std::shared_ptr<const TCircuitDef>> Pages;
};

// The index of a built-in page by its exact caption; throws when there is none.
int PageNamed(std::string_view caption);

// A page's default values, as its value table starts.
TSymbolList DefaultValues(const TCircuitDef &page);

} // namespace cva
