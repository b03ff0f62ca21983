#pragma once

// --live: the circuit as a pedal, playing a JACK client's input port to its
// output port.

#include "cli/CliOptions.h"
#include "document/Circuit.h"

namespace cva::cli {

// Plays until SIGINT, SIGTERM or a line "quit", in the live module, which it
// loads only now. Raises CorvantaError naming JACK when no server is
// reachable or when it goes away.
void PlayLive(const TCliOptions &options, const TCircuit &circuit);

} // namespace cva::cli
