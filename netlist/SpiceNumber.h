#pragma once

// Numbers as SPICE netlists write them: a decimal number, then an optional
// scale suffix (f p n u m k meg g t, in any letter case, so "M" is milli and
// "MEG" mega), then any unit letters, which mean nothing ("22nF",
// "100kOhm"). A digit after the suffix letter continues the number in the
// "4k7" / "2n2" style, read as 4.7k and 2.2n.

#include <optional>
#include <string>
#include <string_view>

namespace cva {

struct TSpiceNumber {
    double Value = 0;
    std::size_t Length = 0; // characters read, unit letters included
};

// Reads a number at the start of 'text' (no sign); nullopt when it does not
// start with one.
std::optional<TSpiceNumber> ReadSpiceNumber(std::string_view text);

// The whole text as one value, as an element's value field: an optional
// sign and a number, nothing else after its unit letters.
std::optional<double> ParseSpiceValue(std::string_view text);

// A value as a netlist writes it: up to 15 significant digits and a SPICE
// suffix ("250k", "4.7n", "1meg"), read back exactly by ParseSpiceValue and
// by ngspice.
std::string FormatSpiceValue(double value);

} // namespace cva
