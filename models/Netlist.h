#pragma once

// A circuit as numbers: nodes, two-terminal branches, the source that drives
// one node through its resistance, and the node read as the output. The
// circuit engine solves it; the tone-stack pages build one from the
// component store (see document/Netlist.h).

#include <array>
#include <string>
#include <string_view>

#include "components/ElementKind.h"
#include "numerics/ComplexLU.h"
#include "numerics/Error.h"

namespace cva {

// A resistor, capacitor or inductor; pots and the generator are no branch.
struct TNetBranch {
    TElementKind Kind = TElementKind::Resistor;
    int From = 0; // node numbers; 0 is ground
    int To = 0;
    double Value = 0;            // ohms, farads or henries
    double SeriesResistance = 0; // an inductor's DC resistance
    std::string Component;       // the name of the part it came from, for messages
};

constexpr int MaxNetNodes = 64; // besides ground
constexpr int MaxNetBranches = 256;

// The source's current may take a row of its own besides the nodes.
static_assert(MaxLUOrder >= MaxNetNodes + 1);

struct TNetlist {
    std::string Name;   // named in every message about the circuit
    int NodeCount = 0;  // nodes 1 .. NodeCount
    int Input = 0;      // driven by a 1 V source through SourceResistance
    int Output = 0;
    double SourceResistance = 0;
    int BranchCount = 0;
    std::array<TNetBranch, MaxNetBranches> Branches{};

    // Throws when the fixed storage is full.
    void Add(const TNetBranch &branch);
};

// A zero-ohm resistor joins its two ends into one node.
inline bool IsShort(const TNetBranch &b) { return b.Kind == TElementKind::Resistor && b.Value == 0; }

// A circuit that could deliver energy instead of taking it: the loop models
// still give it a curve, but nothing derived from the engine (phase,
// impedance, maps, sound) would mean anything, and sound would run away.
class TNotPassiveError : public CorvantaError {
public:
    // "FR1 on the Fender page is -100 kΩ: the circuit is not passive, ..."
    // 'quantity' is empty for the component's own value, or says which of
    // its values it is ("a DC resistance of").
    TNotPassiveError(const TNetlist &net, std::string_view component, std::string_view quantity, double value,
                     std::string_view unit);
};

// Throws an error naming the circuit and the component for a node out of
// range, a value that is not finite, a capacitance or inductance of zero, a
// negative source resistance, or (as TNotPassiveError) a negative
// resistance, capacitance, inductance or DC resistance.
void CheckNetlist(const TNetlist &net);

// The unknown each node becomes once zero-ohm branches have joined their
// ends: 0 .. count-1, or -1 for nodes joined to ground. Returns the count.
using TNodeUnknowns = std::array<int, MaxNetNodes + 1>;
int JoinShorts(const TNetlist &net, TNodeUnknowns &unknown);

} // namespace cva
