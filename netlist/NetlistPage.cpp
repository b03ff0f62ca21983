#include "netlist/NetlistPage.h"

#include "document/CircuitFile.h"
#include "io/FileReading.h"

namespace cva {

TNetlistCircuit ReadNetlistFile(const std::filesystem::path &path)
{
    const std::string text = ReadWholeFile(path, MaxCircuitFileBytes, "a netlist is a few kilobytes");
    return ReadNetlist(text, path.string());
}

TCircuit LoadCircuitOrNetlist(const std::filesystem::path &path, const TCircuit &current,
                              std::vector<std::string> *warnings)
{
    const std::string text = ReadWholeFile(path, MaxCircuitFileBytes, "a circuit file is a few kilobytes");
    if (!IsNetlistFile(path.string(), std::string_view(text).substr(0, text.find('\n'))))
        return LoadCircuitText(path, text, current, warnings);
    TCircuit circuit = current;
    AddNetlistPage(circuit, ReadNetlist(text, path.string()));
    return circuit;
}

int AddNetlistPage(TCircuit &circuit, const TNetlistCircuit &netlist)
{
    const int page = circuit.AddPage(netlist.Page);
    circuit.Active = page;
    for (int control = 0; control < int(netlist.Positions.size()); ++control)
        circuit.SetPosition(control, netlist.Positions[std::size_t(control)]);
    return page;
}

} // namespace cva
