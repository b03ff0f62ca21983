#pragma once

// The preferred-number series in which resistors and capacitors are sold, and
// the value of a series nearest to any other value.

#include <optional>
#include <string_view>

namespace cva {

enum class TESeries { E12, E24, E96 };

// "E12", "E24" or "E96" in any letter case; nothing otherwise.
std::optional<TESeries> ESeriesFromName(std::string_view name);
const char *ESeriesName(TESeries series);

// The series value nearest by ratio (so 1.1 lies between 1 and 1.2 as 1.1 to
// 1.21 would, not halfway). The value must be positive and finite.
double NearestESeriesValue(double value, TESeries series);

} // namespace cva
