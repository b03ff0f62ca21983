#pragma once

// A circuit as the program holds it at run time: its identity, its parts with
// their defaults, the named controls that move its pots, its branch list for
// the circuit engine and, for the built-in pages, the loop model that gives
// the live curve. Everything is owned here, so a description read or built
// at run time lives as long as the catalogue that keeps it.

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "components/ElementKind.h"
#include "models/Calc.h"

namespace cva {

constexpr int SliderMaximum = 100;

struct TComponentDefault {
    std::string Name;
    TElementKind Kind;
    double Value;
    double Second = 0; // taper of a pot, DC resistance of an inductor
};

// A knob of the circuit: its label and the pots it turns together (a ganged
// pot is one control moving several sections). A control without pots is
// shown but disabled ("n/a").
struct TControlDef {
    std::string Label;
    std::vector<std::string> Pots;
    // Moves element values through a netlist parameter instead of (or
    // besides) turning pots.
    bool Parametric = false;

    bool InUse() const { return !Pots.empty() || Parametric; }
};

// The built-in pages share three controls in this order; the circuit file's
// Pos1 .. Pos3 and the command line's --bass, --mid and --treble are theirs.
namespace BuiltInControl {
constexpr int Bass = 0;
constexpr int Mid = 1;
constexpr int Treble = 2;
constexpr int Count = 3;
} // namespace BuiltInControl

// What a parameter slot of a loop model takes from its component: the value,
// an inductor's DC resistance, one of a pot's two sections at the position
// of the control that turns it, or the fixed resistance of a branch of the
// wiring.
enum class TSlotSource { Value, ValueR, Part, Rest, Wiring };

struct TSlotAssignment {
    double TCalcParms::*Slot;
    std::string Component;
    TSlotSource Source = TSlotSource::Value;
};

// The closed-form model of a built-in page: its response function and how
// the components fill its parameter block.
struct TLoopModel {
    TResponseFunction Response = nullptr;
    std::vector<TSlotAssignment> Slots;
};

// The value of a branch that follows the controls (a netlist element whose
// value is an expression of its parameters), from the positions of the
// page's controls.
using TControlledValue = std::function<double(std::span<const int> positions)>;

// A branch of the circuit between named nodes ("0" is ground). A pot with a
// Wiper is a divider: its Rest section from From to Wiper and its Part
// section (the one that grows as its control moves up) from Wiper to To; a
// pot without one is a variable resistor, its Part section from From to To.
// A resistor with FixedOhms is part of the circuit's wiring rather than of
// its values.
struct TBranchSpec {
    TElementKind Kind;
    std::string Component;
    std::string From;
    std::string To;
    std::string Wiper = {};
    std::optional<double> FixedOhms = {};
    // Set for a resistor, capacitor or inductor whose value follows the
    // controls instead of coming from the value table; ValueR is then a
    // controlled inductor's DC resistance.
    TControlledValue ValueOf = {};
    double ValueR = 0;
};

struct TCircuitDef {
    std::string TabCaption;  // the page's name; also the "Tab" value of the circuit file
    char Letter = 0;         // first letter of every component name of a built-in page
    std::string PrintedName; // heading of the printed page
    std::string Drawing;     // base name of the schematic drawing
    int PageOrder = 0;       // built-in pages are shown in ascending order
    std::vector<TComponentDefault> Components;
    std::vector<TControlDef> Controls;
    std::optional<TLoopModel> Loop;
    // The circuit: the source drives InputNode through the generator's
    // resistance; the gain is read at OutputNode.
    std::vector<TBranchSpec> Branches;
    std::string InputNode;
    std::string OutputNode;
    // A page read from a netlist: the text as it stands with the page's
    // values and control positions, and the file it belongs to (empty until
    // it is saved). Both empty for the built-in pages.
    std::string NetlistText;
    std::string NetlistPath;

    bool IsNetlist() const { return !NetlistText.empty(); }

    int ControlCount() const { return int(Controls.size()); }
    bool UsesControl(int control) const;
    // The control that turns a pot; -1 for a pot no control turns.
    int ControlOf(std::string_view pot) const;
    // The first pot of a control, whose taper its label shows; empty when unused.
    std::string_view LeadPot(int control) const;
    const TComponentDefault *FindComponent(std::string_view name) const;
    // The branch of the wiring of that name (a resistor with FixedOhms); null when there is none.
    const TBranchSpec *FindWiring(std::string_view name) const;
    // A part's name as the page shows it: without the page's letter ("R1" for
    // "FR1"), and "Zsrc" for the source's resistance.
    std::string_view ShownName(std::string_view part) const;
    // The loop model over the grid into the live trace.
    void Sweep(const TCalcParms &parms, int step, TTrace &live) const;
};

} // namespace cva
