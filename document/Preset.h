#pragma once

// Presets: the tone-stack component values of real amplifiers and effects,
// one small text file each, shipped with the program. A preset file holds
// "key=value" lines like a circuit file:
//
//   # comment
//   Name=Twin Reverb AA270
//   Tab=Fender
//   Origin=Fender Twin Reverb, 1969, circuit AA270
//   Source=where the values were read
//   FR1=100k
//   FR2=250k|1
//
// Component values are written as in the circuit file, numbers optionally in
// engineering notation. Components of the page that the file leaves out take
// the page's default values, so applying a preset always gives the same
// circuit.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "document/Circuit.h"

namespace cva {

constexpr std::string_view PresetFileExtension = "cvp";

struct TPreset {
    std::string Name;
    int Page = 0; // index of its page
    std::string Origin; // the amplifier or effect and its circuit revision
    std::string Source; // the schematic or table the values were read from
    // Every component of the page with its circuit-file text.
    std::vector<std::pair<std::string, std::string>> Components;
};

// Reads one preset's text. Raises CorvantaError with the reason when a
// required key is missing, a key is unknown or repeated, the name (blanks
// around it dropped) is not one line of printable text of at most 80
// characters, the origin or source is not printable, a component belongs to
// another page, or a value does not convert (a taper outside 0 to 255
// included), is below zero or gives no finite curve.
TPreset ParsePreset(std::string_view text);

struct TPresetLibrary {
    std::vector<TPreset> Presets; // ordered by page, then by name
    // One line per file that was left out, naming it and the reason.
    std::vector<std::string> Warnings;

    // Case-insensitive; nullptr when there is none.
    const TPreset *Find(std::string_view name) const;
    std::vector<const TPreset *> ForPage(int page) const;
};

// Every *.cvp file of the folder, in file-name order; a file that cannot be
// read or parsed, is no regular file, or whose name (compared without regard
// to case) an earlier file already uses, is left out with a warning that
// names it and, for a name in use, the file that has it.
TPresetLibrary LoadPresetFolder(const std::filesystem::path &folder);

// The preset folder of a program: "presets" beside the executable (the build
// tree), else the installed data folder relative to it. Empty when neither
// exists.
std::optional<std::filesystem::path> FindPresetFolder(const std::filesystem::path &programFolder);

// Sets every component of the preset's page and makes that page active.
void ApplyPreset(TCircuit &circuit, const TPreset &preset);

} // namespace cva
