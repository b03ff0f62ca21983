#pragma once

// The printed forms of a computed curve: CSV and JSON, numbers in the
// shortest form that reads back to the same double, always with '.'.

#include <string>

#include "document/Circuit.h"
#include "document/TraceTable.h"
#include "models/Calc.h"

namespace cva::cli {

std::string TraceCsv(const TTrace &trace);
std::string TraceJson(const TCircuit &circuit, const TTrace &trace);

} // namespace cva::cli
