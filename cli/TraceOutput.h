#pragma once

// The printed forms of a computed curve: CSV and JSON, numbers in the
// shortest form that reads back to the same double, always with '.'.

#include <string>
#include <vector>

#include "cli/CliOptions.h"
#include "document/Circuit.h"
#include "document/Tolerance.h"
#include "document/TraceTable.h"
#include "models/Calc.h"
#include "models/NodalEngine.h"

namespace cva::cli {

// The live gain curve and, for columns other than gain_db, the engine's
// curves (which may then be left empty).
struct TPrintedCurves {
    const TTrace &Live;
    const TResponseCurves &Engine;
    const std::vector<TColumn> &Columns;
};

std::string TraceCsv(const TPrintedCurves &curves);
std::string TraceJson(const TCircuit &circuit, const TPrintedCurves &curves);

// A response map over one slider, positions 0 .. 100 in order.
std::string MapCsv(const std::vector<TTrace> &map);
std::string MapJson(const TCircuit &circuit, int control, const std::vector<TTrace> &map);

// frequency_hz,gain_db,min_db,p5_db,median_db,p95_db,max_db
std::string ToleranceCsv(const TTrace &live, const TToleranceBand &band);
// part,kind,tolerance_pct,frequency_hz,db_per_pct in the table's order.
std::string SensitivityCsv(const std::vector<TSensitivity> &table, const std::vector<TPartTolerance> &tolerances);

} // namespace cva::cli
