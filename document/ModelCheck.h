#pragma once

// The live trace comes from the page's loop model, which solves by Cramer's
// rule without pivoting and so loses accuracy, silently, for values far
// outside real parts. The circuit engine solves the same circuit with
// pivoting; where the two disagree the user is told.

#include <optional>
#include <string>

#include "document/Circuit.h"
#include "numerics/Error.h"

namespace cva {

// Deviations up to this much are rounding, not a warning.
constexpr double ModelToleranceDB = 0.01;

// Compares the live trace with the engine's gain at the circuit's
// resolution. Returns the warning to show when they differ by more than
// ModelToleranceDB anywhere, or when the engine cannot solve values the loop
// model accepted (a circuit that is not passive is told as it is); nothing
// when they agree.
std::optional<std::string> ModelAccuracyWarning(const TCircuit &circuit, const TTrace &live);

// The same from an engine sweep already made: the live trace against the
// engine's gain at the same resolution.
std::optional<std::string> ModelAccuracyWarning(const TTrace &live, const TTrace &engine);
// The warning when the engine could not solve what the loop model did.
std::string EngineFailureWarning(const CorvantaError &error);

} // namespace cva
