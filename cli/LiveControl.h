#pragma once

// The lines corvanta-cli --live reads on standard input while it plays:
// "LABEL N" moves the control of that label to position N (letter case
// ignored), "quit" ends, a blank line does nothing.

#include <optional>
#include <string>
#include <string_view>

#include "document/Circuit.h"

namespace cva::cli {

// The labels of the active page's controls, as a list for a message.
std::string ControlLabels(const TCircuit &circuit);

// A slider position as written on the command line or a control line: a
// whole number from 0 to 100.
std::optional<int> ParsePosition(std::string_view text);

struct TControlLine {
    enum TKind { Nothing, Quit, Move } Kind = Nothing;
    int Control = 0; // of the active page
    int Position = 0;
};

// Raises CorvantaError saying what is wrong with a line that is none of these.
TControlLine ParseControlLine(const TCircuit &circuit, std::string_view line);

} // namespace cva::cli
