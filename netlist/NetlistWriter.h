#pragma once

// A netlist's text with the page's current values, tapers and control
// positions put back where the reader found them: every other character,
// comments and line order included, stays as the user wrote it.

#include <span>
#include <string>

#include "components/SymbolList.h"
#include "netlist/NetlistReader.h"

namespace cva {

// 'read' is the netlist as read; 'values' and 'positions' are the page's now.
// A changed value replaces its field; a taper or Rser that the card did not
// write is added to it; a parameter control's position becomes its .param
// value, a pot control's goes into its "*corvanta: control" line, added
// before ".end" (or at the end) where there was none.
std::string UpdatedNetlistText(const TNetlistCircuit &read, const TSymbolList &values, std::span<const int> positions);

} // namespace cva
