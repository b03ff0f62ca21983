#include "pages/BuiltInPage.h"

#include <algorithm>
#include <array>

#include "netlist/NetlistReader.h"
#include "numerics/Error.h"

namespace cva {

TCircuitDef BuiltInPage(std::string_view netlist)
{
    // Its title names it in a message: "Fender:12: ...".
    TCircuitDef page = ReadNetlist(netlist, netlist.substr(0, netlist.find('\n'))).Page;
    if (!page.Letter)
        throw CorvantaError("The built-in page " + page.TabCaption + " has no \"*corvanta: page LETTER\" line");
    // Circuit files keep the positions of these three as Pos1 to Pos3.
    static constexpr std::array<std::string_view, BuiltInControl::Count> Labels{"Bass", "Mid", "Treble"};
    std::vector<TControlDef> controls;
    for (const std::string_view label : Labels)
        controls.push_back({std::string(label), {}});
    for (TControlDef &read : page.Controls) {
        const auto place = std::find(Labels.begin(), Labels.end(), read.Label);
        if (place == Labels.end() || read.Parametric)
            throw CorvantaError("The built-in page " + page.TabCaption + " has a control " + read.Label +
                                ": its pots turn with Bass, Mid or Treble");
        controls[std::size_t(place - Labels.begin())].Pots = std::move(read.Pots);
    }
    page.Controls = std::move(controls);
    page.NetlistText.clear();
    return page;
}

} // namespace cva
