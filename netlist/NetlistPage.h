#pragma once

// A netlist as a page of the circuit: read from a file or text, added after
// the other pages with its values, made the active page with its controls
// where the netlist puts them.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "document/Circuit.h"
#include "netlist/NetlistReader.h"

namespace cva {

// The netlist with its text, for a page that edits it.
TNetlistCircuit ReadNetlistFile(const std::filesystem::path &path);

// A circuit file applied to 'current', or a netlist added to it as its
// active page: the kind follows from the extension, else from the first line.
// The file is read once, so a pipe works too. 'warnings' as LoadCircuitFile's.
TCircuit LoadCircuitOrNetlist(const std::filesystem::path &path, const TCircuit &current,
                              std::vector<std::string> *warnings = nullptr);

// Adds the netlist's page, makes it active and sets its controls; returns its index.
int AddNetlistPage(TCircuit &circuit, const TNetlistCircuit &netlist);

} // namespace cva
