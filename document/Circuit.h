#pragma once

// The circuit state that the desktop program and the command-line tool both
// drive: the pages, each with its values, the active page, the positions of
// its controls and the sweep resolution.

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "document/Catalogue.h"
#include "document/CircuitValues.h"
#include "models/Calc.h"

namespace cva {

// Everything that belongs to one page alone: its description, its values
// and, for a netlist, the positions of its own knobs.
struct TPageState {
    std::shared_ptr<const TCircuitDef> Page;
    TSymbolList Values;
    std::vector<int> OwnPositions;
    bool operator==(const TPageState &) const = default;
};

class TCircuit {
public:
    // The built-in pages with their default values, the first active,
    // controls at 50, medium resolution.
    TCircuit();

    int Active = 0; // index into Pages()
    TCircuitValues Symbols;
    int ResolutionStep = ResolutionMedium;

    const TCatalogue &Pages() const { return FPages; }
    // Adds a page after the others, with its default values; returns its index.
    int AddPage(TCircuitDef page);
    // Puts another description in the place of a page; with New its
    // value table starts again from the description's defaults, else it is
    // kept (the parts are the same).
    enum class TPageValues { New, Kept };
    void ReplacePage(int index, TCircuitDef page, TPageValues values);
    TPageState PageState(int index) const;
    void SetPageState(int index, TPageState state);
    const TCircuitDef &ActiveInfo() const { return FPages.Page(Active); }
    // The active page's own values.
    const TSymbolList &ActiveValues() const { return Symbols.Page(Active); }
    // The page whose part a name is: the active page when it has one of that
    // name (a netlist may name its parts as another page does), else the first
    // page that has; -1 when none has.
    int PageWithPart(std::string_view name) const;

    // The controls of the active page.
    int ControlCount() const { return ActiveInfo().ControlCount(); }
    int Position(int control) const;
    // Clamps to 0..100. Returns true when the position changed.
    bool SetPosition(int control, int position);
    // The control of that label, in any letter case.
    std::optional<int> FindControl(std::string_view label) const;
    bool ControlEnabled(int control) const { return ActiveInfo().UsesControl(control); }
    // The taper label of the pot a control turns ("Linear", "Log A", "Log B"),
    // "n/a" where the control is not in use.
    // A control that only moves netlist parameters is "Linear".
    std::string TaperLabel(int control) const;

    bool operator==(const TCircuit &) const = default;

private:
    TCatalogue FPages;
    // The positions of the active page's controls: the built-in pages share
    // theirs, as a page change keeps the knobs where they are; a netlist's
    // knobs are its own.
    const std::vector<int> &Positions() const;
    std::vector<int> &Positions();

    // One position per control. The built-in pages' are the first; each
    // page read from a netlist has its own, by page index.
    std::vector<int> FPositions;
    std::map<int, std::vector<int>> FOwnPositions;
};

// The position of the control that turns a pot of the active page.
int PotPosition(const TCircuit &circuit, std::string_view pot);

// Fills the parameter block of the active page's loop model from its values
// and control positions.
TCalcParms SetCalcParms(const TCircuit &circuit);

// SetCalcParms and the active page's loop model over the grid into the live
// trace; for a page without a loop model, the circuit engine's gain.
void Recalculate(const TCircuit &circuit, TTrace &live);

} // namespace cva
