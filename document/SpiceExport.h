#pragma once

// The active page's circuit, as set, as a deck that ngspice runs as it is
// ("ngspice -b FILE"): pots at their positions as two resistors, an
// inductor's DC resistance as a resistor of its own, the source "AC 1",
// node names as the page has them, and an AC analysis over the program's
// grid that prints the output's gain in dB.

#include <string>
#include <vector>

#include "document/Circuit.h"
#include "models/Netlist.h"

namespace cva {

std::string SpiceDeck(const TCircuit &circuit);

// A netlist with a title and a name for each node by its number ("0" first).
std::string SpiceDeck(const TNetlist &net, const std::vector<std::string> &nodeNames, const std::string &title);

} // namespace cva
