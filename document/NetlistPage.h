#pragma once

// A netlist as a page of the circuit: read from a file or text, added after
// the other pages with its values, made the active page with its controls
// where the netlist puts them.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "document/Circuit.h"
#include "io/FileKinds.h"
#include "netlist/NetlistReader.h"

namespace cva {

// The netlist with its text, for a page that edits it.
TNetlistCircuit ReadNetlistFile(const std::filesystem::path &path);

// A circuit file applied to 'current', or a netlist added to it as its
// active page: the kind follows from the extension, else from the first line.
// The file is read once, so a pipe works too. 'special' and 'warnings' as
// LoadCircuitFile's.
TCircuit LoadCircuitOrNetlist(const std::filesystem::path &path, const TCircuit &current,
                              TSpecialFiles special = TSpecialFiles::Allowed, std::vector<std::string> *warnings = nullptr);

// Adds the netlist's page, makes it active and sets its controls; returns
// its index. A netlist of a file already open takes the place of its page;
// a caption another page has is numbered ("Tilt 2").
int AddNetlistPage(TCircuit &circuit, TNetlistCircuit netlist);

// The text a new netlist starts from.
std::string NetlistTemplate();

// Reads 'text' as the netlist of 'page', a netlist page: its parts, values
// and controls come from the text, its file stays. Throws TNetlistError
// ("FILE:LINE: message") and leaves the circuit as it was.
void ReplaceNetlistText(TCircuit &circuit, int page, std::string_view text);

// Writes the active netlist page's values, tapers and control positions
// back into its text, so that the text always says what the page shows.
// Does nothing on a built-in page. Throws TNetlistError, and changes
// nothing, where the new text would not read as a netlist.
void WriteBackNetlistText(TCircuit &circuit);

// Throws CorvantaError when 'text' saved under 'path' would not open again
// as what it is: a netlist named .cva, or a circuit file named as a netlist
// (.cir, .net, .sp, .spice).
void CheckSavedKind(const std::filesystem::path &path, std::string_view text, bool netlist);

// What saving the page shown writes: a netlist page's text with its values,
// tapers and control positions, else the circuit file.
std::string SavedText(const TCircuit &circuit);

} // namespace cva
