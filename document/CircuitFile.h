#pragma once

// The circuit file: "key=value" lines, "Tab", "Pos1".."Pos3" and one line per
// component in the store's order. Written and read with '.' as the decimal
// separator whatever the user's locale, so that a file means the same to
// every program and on every machine; CR LF line ends.

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "document/Circuit.h"
#include "io/AtomicFile.h"

namespace cva {

constexpr std::string_view CircuitFileExtension = "cva";

std::vector<std::string> CircuitFileLines(const TCircuit &circuit);
std::string CircuitFileText(const TCircuit &circuit);

// How a circuit file is written: durably, the file and its folder flushed to
// disk, for it is the user's work.
TWriteOptions CircuitFileWriteOptions(TSpecialFiles special = TSpecialFiles::Allowed);

// Writes through TAtomicFile with CircuitFileWriteOptions. Raises
// 'Cannot create file "PATH". REASON'.
void SaveCircuitFile(const std::filesystem::path &path, const TCircuit &circuit,
                     TSpecialFiles special = TSpecialFiles::Allowed);

// Returns the circuit with the text's values applied. A leading UTF-8
// byte-order mark is skipped. Every value is converted before anything is
// applied: on any error this raises and the caller's circuit is untouched.
// The error tells where: 'SOURCE, line 7 (FR1): ...', or without a source
// 'line 7 (FR1): ...'.
TCircuit ApplyCircuitText(std::string_view text, const TCircuit &current, std::string_view source = {});

// A circuit file is a few kilobytes; anything far larger is no circuit file.
constexpr std::size_t MaxCircuitFileBytes = 16 * 1024 * 1024;

// Reads the whole file, then ApplyCircuitText with the file's name as the
// source. Raises 'Cannot open file "PATH". REASON' when it cannot be read,
// is larger than MaxCircuitFileBytes, is a special file that is refused, or
// has no line that loading would take anything from (REASON "not a circuit
// file"): an empty file or one of other text is refused rather than opened
// as if it were a circuit.
// A "Tab" line that names no page leaves the page as it was, as the file
// format has it; 'warnings', when given, receives a line that says so, e.g.
// 'amp.cva, line 1 (Tab): "vox" names no page (captions are matched
// exactly: "Vox"?); the page stays as it was'.
TCircuit LoadCircuitFile(const std::filesystem::path &path, const TCircuit &current,
                         TSpecialFiles special = TSpecialFiles::Allowed, std::vector<std::string> *warnings = nullptr);

// LoadCircuitFile for a file already read.
TCircuit LoadCircuitText(const std::filesystem::path &path, std::string_view text, const TCircuit &current,
                         std::vector<std::string> *warnings = nullptr);

// One line for each potentiometer whose taper number is none of the known laws
// (a file may hold any number from 0 to 255), e.g. 'FR2 has taper number 255,
// which is none of the known laws 0 to 8; it works as Linear'.
std::vector<std::string> UnknownTaperWarnings(const TCircuit &circuit);

} // namespace cva
