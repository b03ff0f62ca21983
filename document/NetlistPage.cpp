#include "document/NetlistPage.h"

#include "document/CircuitFile.h"
#include "io/FileReading.h"
#include "netlist/NetlistWriter.h"
#include "numerics/Error.h"

namespace cva {

TNetlistCircuit ReadNetlistFile(const std::filesystem::path &path)
{
    const std::string text = ReadWholeFile(path, MaxCircuitFileBytes, "a netlist is a few kilobytes");
    return ReadNetlist(text, path.string());
}

namespace {

// Which kind LoadCircuitOrNetlist takes a file for.
bool OpensAsNetlist(const std::filesystem::path &path, std::string_view text)
{
    return IsNetlistFile(path.string(), text.substr(0, text.find('\n')));
}

} // namespace

void CheckSavedKind(const std::filesystem::path &path, std::string_view text, bool netlist)
{
    if (OpensAsNetlist(path, text) == netlist)
        return;
    throw CorvantaError("\"" + path.string() + "\" would open as " +
                        (netlist ? "a circuit file, not as this netlist: a netlist is saved as .cir, .net, .sp or .spice"
                                 : "a netlist, not as this circuit file: a circuit file is saved as .cva"));
}

TCircuit LoadCircuitOrNetlist(const std::filesystem::path &path, const TCircuit &current, TSpecialFiles special,
                              std::vector<std::string> *warnings)
{
    const std::string text = ReadWholeFile(path, MaxCircuitFileBytes, "a circuit file is a few kilobytes", special);
    if (!OpensAsNetlist(path, text))
        return LoadCircuitText(path, text, current, warnings);
    TCircuit circuit = current;
    TNetlistCircuit netlist = ReadNetlist(text, path.string());
    netlist.Page.NetlistPath = path.string();
    AddNetlistPage(circuit, std::move(netlist));
    return circuit;
}

namespace {

void SetPositions(TCircuit &circuit, const TNetlistCircuit &netlist)
{
    for (int control = 0; control < int(netlist.Positions.size()); ++control)
        circuit.SetPosition(control, netlist.Positions[std::size_t(control)]);
}

// The page's file for messages: its name, or its caption before it has one.
std::string MessageName(const TCircuitDef &page)
{
    return page.NetlistPath.empty() ? page.TabCaption : std::filesystem::path(page.NetlistPath).filename().string();
}

} // namespace

int AddNetlistPage(TCircuit &circuit, TNetlistCircuit netlist)
{
    const TCatalogue &pages = circuit.Pages();
    std::optional<int> page;
    for (int i = 0; i < pages.Count() && !netlist.Page.NetlistPath.empty(); ++i)
        if (pages.Page(i).NetlistPath == netlist.Page.NetlistPath)
            page = i;
    if (page) {
        circuit.ReplacePage(*page, std::move(netlist.Page), TCircuit::TPageValues::New);
    } else {
        const std::string title = netlist.Page.TabCaption;
        for (int number = 2; pages.FromCaption(netlist.Page.TabCaption, TCatalogue::TMatch::AnyCase); ++number)
            netlist.Page.TabCaption = title + " " + std::to_string(number);
        page = circuit.AddPage(std::move(netlist.Page));
    }
    circuit.Active = *page;
    SetPositions(circuit, netlist);
    return *page;
}

std::string NetlistTemplate()
{
    return "New tone control\n"
           "* A treble cut: turn the tone control and watch the curve follow.\n"
           "V1 in 0 AC 1\n"
           "R1 in out 10k\n"
           "Ptone out w 0 250k logA control=Tone\n"
           "C1 w 0 22n\n"
           ".print ac vdb(out)\n"
           ".end\n";
}

void ReplaceNetlistText(TCircuit &circuit, int page, std::string_view text)
{
    const TCircuitDef &current = circuit.Pages().Page(page);
    TNetlistCircuit netlist = ReadNetlist(text, MessageName(current));
    netlist.Page.NetlistPath = current.NetlistPath;
    netlist.Page.TabCaption = current.TabCaption;
    netlist.Page.PrintedName = current.PrintedName;
    circuit.ReplacePage(page, std::move(netlist.Page), TCircuit::TPageValues::New);
    if (circuit.Active == page)
        SetPositions(circuit, netlist);
}

void WriteBackNetlistText(TCircuit &circuit)
{
    const TCircuitDef &page = circuit.ActiveInfo();
    if (!page.IsNetlist())
        return;
    const TNetlistCircuit read = ReadNetlist(page.NetlistText, MessageName(page));
    std::vector<int> positions(std::size_t(page.ControlCount()));
    for (int control = 0; control < page.ControlCount(); ++control)
        positions[std::size_t(control)] = circuit.Position(control);
    std::string text = UpdatedNetlistText(read, circuit.ActiveValues(), positions);
    if (text == page.NetlistText)
        return;
    // A value the netlist cannot hold (a negative one, a capacitor of zero)
    // would leave a text that neither reads again nor saves as a netlist.
    ReadNetlist(text, MessageName(page));
    TCircuitDef updated = page;
    updated.NetlistText = std::move(text);
    circuit.ReplacePage(circuit.Active, std::move(updated), TCircuit::TPageValues::Kept);
}

std::string SavedText(const TCircuit &circuit)
{
    if (!circuit.ActiveInfo().IsNetlist())
        return CircuitFileText(circuit);
    TCircuit written = circuit;
    WriteBackNetlistText(written);
    return written.ActiveInfo().NetlistText;
}

} // namespace cva
