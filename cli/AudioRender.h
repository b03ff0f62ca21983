#pragma once

// --render and --render-demo: audio through the circuit into a WAV file.

#include "cli/CliOptions.h"
#include "document/Circuit.h"

namespace cva::cli {

// Reads the input (or plays the demo guitar), filters it through the
// circuit's active page and writes the WAV file atomically, all in the
// render module, which it loads only now. Raises CorvantaError with the file
// and the reason when reading or writing fails; warns on stderr when 24-bit
// samples had to be limited to full scale.
void RenderAudio(const TCliOptions &options, const TCircuit &circuit);

} // namespace cva::cli
