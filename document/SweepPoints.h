#pragma once

// The slider positions the Sweep command visits for each control, as the
// user writes them: "0, 25, 50, 75, 100".

#include <string>
#include <string_view>
#include <vector>

namespace cva {

// The sweep of the Plot menu: minimum, middle and maximum.
inline const std::vector<int> DefaultSweepPoints{0, 50, 100};

// Whole numbers from 0 to 100 apart by commas, semicolons or blanks, given
// back in ascending order, each once. Raises CorvantaError naming the entry
// that is not one, or saying that none was given.
std::vector<int> ParseSweepPoints(std::string_view text);

// "0, 25, 50", which ParseSweepPoints reads back.
std::string FormatSweepPoints(const std::vector<int> &points);

} // namespace cva
