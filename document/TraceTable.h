#pragma once

// Traces as text: every trace in use as one CSV table, and the number form
// all text output of traces shares.

#include <string>
#include <vector>

#include "models/Calc.h"

namespace cva {

// The shortest text that reads back to the same double, always with '.',
// so that a table can be read again without loss on any locale.
std::string ShortestNumber(double value);

// Header "frequency_hz,live,snapshot_1,...,snapshot_N" (snapshot_1 the
// newest), then one row per grid point with the frequency and the gain of
// every trace in use, live first.
std::string TraceTableCsv(const TTraceStore &store);

// A column of a trace table: its heading and the slot of the trace it holds.
struct TTableColumn {
    std::string Name;
    int Slot;
};

// Header "frequency_hz" and the columns' names, then one row per grid point,
// fields apart by the separator. A name holding the separator, a quote or a
// line break is quoted as CSV quotes it.
std::string TraceTable(const TTraceStore &store, const std::vector<TTableColumn> &columns, char separator);

// Header "position,frequency_hz,gain_db", then one row per grid point of
// each curve, curve n standing for slider position n.
std::string ResponseMapCsv(const std::vector<TTrace> &curves);

} // namespace cva
