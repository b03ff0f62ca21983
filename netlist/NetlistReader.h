#pragma once

// Reads a circuit written as a SPICE netlist into a page: its parts with
// their values, its controls and their positions, and its branch list for
// the circuit engine. The language is the part of SPICE that describes a
// passive network (R, C, L with Rser, one V source, .param and {expression}
// values, the output from .print/.plot/.probe or a node named "out") plus
// pots: "PNAME LUG1 WIPER LUG3 VALUE [TAPER] [control=LABEL]", TAPER being
// any law of components/TaperLaw.h by its name (linear, logA, audio15, ...).
// What the program adds (control positions, a picture, a built-in page's
// letter) is written in comments of a fixed form that SPICE ignores:
//     *corvanta: control LABEL=POSITION
//     *corvanta: picture NAME
//     *corvanta: page LETTER
// The last makes the netlist one of the built-in pages, whose parts are named
// as circuit files and presets know them: each element is named by its kind
// and a number (R1, C2, L1; a pot PR3, since the page draws it as a
// resistor), and its part on the page is the page's letter before that (FR1,
// FC2, FR3). The resistor RG, from the source's node to the page's input, is
// the source's resistance (FG). A resistor named otherwise (Rwire) is wiring:
// it keeps its value and is none of the page's values. Any other name is an
// error.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "models/CircuitDef.h"

namespace cva {

// Where a field of a card lies in the text, so that it can be rewritten in place.
struct TTextSpan {
    int Line = 0;          // 0-based index into the text's lines
    std::size_t Column = 0;
    std::size_t Length = 0;
};

// What a writer needs to put new values and positions back into the text
// while keeping everything else as it was.
struct TNetlistLayout {
    struct TElement {
        std::string Name;
        int Line = 0;                    // the card's first line
        std::optional<TTextSpan> Value;  // absent for a value that follows a control
        std::optional<TTextSpan> Taper;  // a pot's taper word, when written
        std::optional<TTextSpan> Rser;   // the VALUE of an inductor's "Rser=VALUE", when written
    };
    struct TParameterControl {
        std::string Label;
        TTextSpan Value; // of its ".param NAME=VALUE"
    };
    std::vector<std::string> Lines;
    std::vector<TElement> Elements;
    std::vector<TParameterControl> ParameterControls;
    std::vector<std::pair<std::string, int>> PositionLines; // control label and its "*corvanta: control" line
    std::optional<int> EndLine;                              // the ".end" card that ends the netlist, when written
};

struct TNetlistCircuit {
    TCircuitDef Page;           // no loop model: its curve comes from the engine; keeps the text
    std::vector<int> Positions; // one per control of Page, 0 to 100
    std::string Picture;        // empty when the netlist names none
    TNetlistLayout Layout;
};

// Throws TNetlistError ("FILE:LINE: message") for anything it cannot take.
TNetlistCircuit ReadNetlist(std::string_view text, std::string_view fileName);

// A taper law as a pot card writes it: "linear", "logA", "logB", "audio15",
// "revaudio20"; "linear" for a number of no known law, which follows that law.
std::string TaperWord(std::uint8_t taper);

// Whether a file is a netlist rather than a circuit file: by its extension
// (.cir .net .sp .spice), else by a first line that is not a circuit file's.
bool IsNetlistFile(std::string_view path, std::string_view firstLine);

} // namespace cva
