#pragma once

// A netlist in the state form of modified nodal analysis,
//     G x + C dx/dt = B v,
// for time-domain use (the audio filter). v is the source voltage; the
// unknowns x are the node voltages (zero-ohm branches joined), the current
// the source delivers into the circuit, and each inductor's current, so
// every element enters G or C as a plain real number.

#include <array>

#include "models/Netlist.h"

namespace cva {

constexpr int MaxMnaSize = MaxNetNodes + 1 + MaxNetBranches;

struct TMnaSystem {
    int Size = 0;
    std::array<std::array<double, MaxMnaSize>, MaxMnaSize> G{};
    std::array<std::array<double, MaxMnaSize>, MaxMnaSize> C{};
    std::array<double, MaxMnaSize> B{};
    int Output = -1;        // index of the output voltage in x; -1 when the output is ground
    int SourceCurrent = -1; // index of the source current in x
};

// Checks the netlist as the circuit engine does and stamps it.
TMnaSystem StampMna(const TNetlist &netlist);

} // namespace cva
