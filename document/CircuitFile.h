#pragma once

// The circuit file: "key=value" lines, "Tab", "Pos1".."Pos3" and one line per
// component in the store's order. Written with '.' as the decimal separator
// and CR LF line ends; read with '.' or the user's own separator.

#include <cstddef>
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

// Returns the circuit with the text's values applied. A leading UTF-8
// byte-order mark is skipped. Every value is converted before anything is
// applied: on any error this raises and the caller's circuit is untouched.
// The error tells where: 'SOURCE, line 7 (FR1): ...', or without a source
// 'line 7 (FR1): ...'.
TCircuit ApplyCircuitText(std::string_view text, const TCircuit &current, char decimalSeparator = '.',
                          std::string_view source = {});

// A circuit file is a few kilobytes; anything far larger is no circuit file.
constexpr std::size_t MaxCircuitFileBytes = 16 * 1024 * 1024;

// Reads the whole file, then ApplyCircuitText with the file's name as the
// source. Raises 'Cannot open file "PATH". REASON' when it cannot be read,
// is larger than MaxCircuitFileBytes, or has no line that loading would take
// anything from (REASON "not a circuit file"): an empty file or one of
// other text is refused rather than opened as if it were a circuit.
TCircuit LoadCircuitFile(const std::filesystem::path &path, const TCircuit &current, char decimalSeparator = '.');

// One line for each potentiometer whose taper number is none of the three
// tapers (a file may hold any number up to 255), e.g. 'FR2 has taper number
// 255, which is none of Linear (0), Log A (1) and Log B (2); it works as Linear'.
std::vector<std::string> UnknownTaperWarnings(const TCircuit &circuit);

} // namespace cva
