// The netlist reader on arbitrary text: it either raises the program's error
// or gives a page whose text, written back with every control moved and
// every pot on another law, reads again to the same parts and those
// positions and laws (or, where the values at the new positions make no
// circuit, fails as the page's curve does). A page whose curve computes
// makes its ngspice deck too.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "components/TaperLaw.h"
#include "document/Circuit.h"
#include "document/NetlistPage.h"
#include "netlist/NetlistWriter.h"
#include "document/SpiceExport.h"
#include "numerics/Error.h"

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

bool SameParts(const cva::TCircuitDef &a, const cva::TCircuitDef &b)
{
    if (a.Components.size() != b.Components.size() || a.Branches.size() != b.Branches.size() ||
        a.Controls.size() != b.Controls.size())
        return false;
    for (std::size_t i = 0; i < a.Components.size(); ++i)
        if (a.Components[i].Name != b.Components[i].Name || a.Components[i].Value != b.Components[i].Value ||
            a.Components[i].Second != b.Components[i].Second)
            return false;
    for (std::size_t i = 0; i < a.Controls.size(); ++i)
        if (a.Controls[i].Label != b.Controls[i].Label || a.Controls[i].Pots != b.Controls[i].Pots)
            return false;
    return true;
}

bool Computes(cva::TCircuit circuit)
{
    circuit.ResolutionStep = cva::ResolutionLow;
    try {
        cva::TTrace live{};
        cva::Recalculate(circuit, live);
        return true;
    } catch (const cva::CorvantaError &) {
        return false;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    cva::TNetlistCircuit read;
    try {
        read = cva::ReadNetlist(text, "fuzz.cir");
    } catch (const cva::CorvantaError &) {
        return 0;
    }
    cva::TCircuit circuit;
    const int page = cva::AddNetlistPage(circuit, read);
    Check(circuit.Active == page);

    // Every control moved and every pot given the next law: the text written
    // with them reads back to them, the rest unchanged.
    std::vector<int> moved;
    for (int control = 0; control < circuit.ControlCount(); ++control) {
        moved.push_back((read.Positions[std::size_t(control)] + 37) % (cva::SliderMaximum + 1));
        circuit.SetPosition(control, moved.back());
    }
    const auto nextLaw = [](double taper) { return std::uint8_t((int(taper) + 1) % (cva::LastKnownTaper + 1)); };
    cva::TSymbolList values = circuit.ActiveValues();
    for (const cva::TComponentDefault &part : read.Page.Components)
        if (part.Kind == cva::TElementKind::Pot)
            values.AddPot(part.Name, nextLaw(part.Second), part.Value);
    const std::string written = cva::UpdatedNetlistText(read, values, moved);
    cva::TNetlistCircuit again;
    try {
        again = cva::ReadNetlist(written, "fuzz.cir");
    } catch (const cva::CorvantaError &) {
        // Only where the values at the new positions are not a circuit (an
        // expression gone negative or infinite), which the page refuses too.
        Check(!Computes(circuit));
        return 0;
    }
    Check(again.Positions == moved);
    for (cva::TComponentDefault &part : read.Page.Components)
        if (part.Kind == cva::TElementKind::Pot)
            part.Second = nextLaw(part.Second);
    Check(SameParts(read.Page, again.Page));

    if (Computes(circuit))
        (void)cva::SpiceDeck(circuit);
    return 0;
}
