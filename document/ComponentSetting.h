#pragma once

#include <string_view>

#include "document/Circuit.h"

namespace cva {

// Applies "NAME=TEXT": TEXT is the component's circuit-file form, except that
// each '|'-separated number may also be written in engineering notation and a
// pot's taper by its law's name ("FR1=56k", "FR3=250k|0", "FR3=250k|audio15"),
// and a value alone keeps a pot's taper or an inductor's DC resistance
// ("FR3=100k").
void ApplyComponentSetting(TCircuit &circuit, std::string_view setting);
// The same with the name and the text apart.
void ApplyComponentSetting(TCircuit &circuit, std::string_view name, std::string_view text);

} // namespace cva
