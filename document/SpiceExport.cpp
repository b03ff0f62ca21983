#include "document/SpiceExport.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <sstream>

#include "document/Netlist.h"
#include "models/Calc.h"
#include "numerics/Error.h"

namespace cva {

namespace {

// Every digit a double needs, so that ngspice computes with the same values.
std::string Number(double value)
{
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

std::string Lowered(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

// A node of the deck's own (the source behind its resistance, the inside of
// an inductor) under a name that no node of the circuit has, in any letter
// case as SPICE reads them: a netlist may call its nodes anything.
std::string FreeNodeName(std::string name, const std::vector<std::string> &nodes)
{
    while (std::any_of(nodes.begin(), nodes.end(), [&](const std::string &node) { return Lowered(node) == Lowered(name); }))
        name += "_";
    return name;
}

} // namespace

std::string SpiceDeck(const TCircuit &circuit)
{
    std::vector<std::string> nodeNames;
    const TNetlist net = BuildNetlist(circuit, &nodeNames);
    return SpiceDeck(net, nodeNames, circuit.ActiveInfo().TabCaption);
}

std::string SpiceDeck(const TNetlist &net, const std::vector<std::string> &node, const std::string &title)
{
    CheckNetlist(net);
    std::ostringstream deck;
    deck << title << "\n";
    deck << "* The " << title << " circuit as set, written by corvanta-cli\n";
    if (net.SourceResistance > 0) {
        const std::string source = FreeNodeName("corvanta_source", node);
        deck << "Vsource " << source << " 0 AC 1\n";
        deck << "Rsource " << source << " " << node[std::size_t(net.Input)] << " " << Number(net.SourceResistance)
             << "\n";
    } else {
        deck << "Vsource " << node[std::size_t(net.Input)] << " 0 AC 1\n";
    }
    for (int i = 0; i < net.BranchCount; ++i) {
        const TNetBranch &b = net.Branches[std::size_t(i)];
        // Numbered, since a pot gives two branches of the same part.
        const std::string id = std::to_string(i + 1) + "_" + b.Component;
        const std::string &from = node[std::size_t(b.From)], &to = node[std::size_t(b.To)];
        switch (b.Kind) {
        case TElementKind::Resistor:
            // SPICE refuses a resistor of zero ohms; a source of zero volts is the same short.
            if (IsShort(b))
                deck << "V" << id << " " << from << " " << to << " 0\n";
            else
                deck << "R" << id << " " << from << " " << to << " " << Number(b.Value) << "\n";
            break;
        case TElementKind::Capacitor:
            deck << "C" << id << " " << from << " " << to << " " << Number(b.Value) << "\n";
            break;
        case TElementKind::Inductor:
            if (b.SeriesResistance > 0) {
                const std::string inner = FreeNodeName("corvanta_rser" + std::to_string(i + 1), node);
                deck << "L" << id << " " << from << " " << inner << " " << Number(b.Value) << "\n";
                deck << "R" << id << "_rser " << inner << " " << to << " " << Number(b.SeriesResistance) << "\n";
            } else {
                deck << "L" << id << " " << from << " " << to << " " << Number(b.Value) << "\n";
            }
            break;
        case TElementKind::Pot:
        case TElementKind::Generator:
            // The netlist holds a pot as its sections and the generator as the source.
            throw CorvantaError("The circuit " + title + " has a " + std::string(Traits(b.Kind).TypeName) +
                                " as a branch");
        }
    }
    // The grid: 128 points a decade from 10 Hz up to the grid's last
    // frequency to every digit. ngspice spreads its points evenly up to the
    // stop frequency, so a rounded one moves them all off the grid, by
    // enough to show in the gain at a sharp resonance.
    deck << ".ac dec 128 10 " << Number(GridFrequency(GridLastStep)) << "\n";
    deck << ".print ac vdb(" << node[std::size_t(net.Output)] << ")\n";
    deck << ".end\n";
    return deck.str();
}

} // namespace cva
