#pragma once

// The slider settings in words, for the printed page and the title line of
// exported pictures: "Bass 50% (Log A)" for each slider the active topology
// uses.

#include <vector>

#include <QString>

#include "document/Circuit.h"

namespace cva {

std::vector<QString> ControlLines(const TCircuit &circuit);

// "Fender: Bass 50% (Log A), Mid 50% (Linear), Treble 50% (Log A)": the percentage the slider's hint shows.
QString PlotTitle(const TCircuit &circuit);

} // namespace cva
