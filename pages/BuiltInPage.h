#pragma once

// A built-in page from its netlist, read as any netlist is. The text gives
// the page its caption (the title), its letter ("*corvanta: page F"), its
// drawing ("*corvanta: picture NAME"), its parts with their defaults and
// tapers, the pots each control turns and its branch list; the description
// file adds what a netlist cannot say: the printed name, the page's place
// and the loop model.

#include <string_view>

#include "models/CircuitDef.h"

namespace cva {

// The page with the three controls every built-in page has, Bass, Mid and
// Treble in that order (a control the text gives no pot is shown disabled).
// Throws a CorvantaError for a text that cannot be read, that is no
// built-in page, or that labels a control otherwise.
TCircuitDef BuiltInPage(std::string_view netlist);

} // namespace cva
