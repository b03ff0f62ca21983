#pragma once

// Components named for people: as the schematic shows them, with their page.

#include <string>
#include <string_view>

#include "document/Circuit.h"

namespace cva {

// "C1 on the Fender page" for FC1; a name no page has stays as it is.
std::string ComponentOnPage(const TCircuit &circuit, std::string_view name);

// The stored names of a page's components in its table's order, for
// messages that say which names there are: "FC1, FC2, FG, FR1".
std::string PageComponentNames(const TCircuit &circuit, int page);

} // namespace cva
