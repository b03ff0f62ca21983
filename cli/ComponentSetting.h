#pragma once

#include <string_view>

#include "document/Circuit.h"

namespace cva::cli {

// Applies "NAME=TEXT": TEXT is the component's circuit-file form, except that
// each '|'-separated number may also be written in engineering notation
// ("FR1=56k", "FR3=250k|0").
void ApplyComponentSetting(TCircuit &circuit, std::string_view setting);

} // namespace cva::cli
