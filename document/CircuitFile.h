#pragma once

// The circuit file: "key=value" lines, "Tab", "Pos1".."Pos3" and one line per
// component in the store's order. Written with '.' as the decimal separator
// and CR LF line ends; read with '.' or the user's own separator.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "document/Circuit.h"

namespace cva {

constexpr std::string_view CircuitFileExtension = "cva";

std::vector<std::string> CircuitFileLines(const TCircuit &circuit);
std::string CircuitFileText(const TCircuit &circuit);

// Writes beside the target and renames into place, so an existing file is
// never left half written. Raises 'Cannot create file "PATH". REASON'.
void SaveCircuitFile(const std::filesystem::path &path, const TCircuit &circuit);

// Returns the circuit with the file's values applied. Every value is
// converted before anything is applied: on any error this raises and the
// caller's circuit is untouched.
TCircuit ApplyCircuitText(std::string_view text, const TCircuit &current, char decimalSeparator = '.');

// Reads the whole file, then ApplyCircuitText. Raises
// 'Cannot open file "PATH". REASON' when it cannot be read.
TCircuit LoadCircuitFile(const std::filesystem::path &path, const TCircuit &current, char decimalSeparator = '.');

} // namespace cva
