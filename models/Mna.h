#pragma once

// A netlist in the state form of modified nodal analysis,
//     G x + C dx/dt = B v,
// for time-domain use (the audio filter). v is the source voltage; the
// unknowns x are the node voltages (zero-ohm branches joined), the current
// the source delivers into the circuit, and each inductor's current, so
// every element enters G or C as a plain real number.

#include <vector>

#include "models/Netlist.h"

namespace cva {

// Sized to the circuit: the largest has hundreds of unknowns, too many for
// fixed storage on a stack, and stamping is not part of any sweep.
struct TMnaSystem {
    int Size = 0;
    std::vector<std::vector<double>> G;
    std::vector<std::vector<double>> C;
    std::vector<double> B;
    int Output = -1;        // index of the output voltage in x; -1 when the output is ground
    int SourceCurrent = -1; // index of the source current in x
};

// Checks the netlist as the circuit engine does and stamps it.
TMnaSystem StampMna(const TNetlist &netlist);

} // namespace cva
