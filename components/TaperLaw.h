#pragma once

// The potentiometer taper laws: the share of the track between the wiper and
// the low end for a given share of the travel, with each law's number (as a
// circuit file stores it), name (as a setting or a netlist writes it) and label.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace cva {

// Numbers 0 to 2 are the original two-segment laws. The audio laws reach
// 10, 15 or 20% of the track at mid travel; the reverse ones mirror them.
enum : std::uint8_t {
    PotLinear = 0,
    PotLogA = 1,
    PotLogB = 2,
    PotAudio10 = 3,
    PotAudio15 = 4,
    PotAudio20 = 5,
    PotRevAudio10 = 6,
    PotRevAudio15 = 7,
    PotRevAudio20 = 8,
};
// Numbers above this one may come from a file; they follow the linear law.
inline constexpr std::uint8_t LastKnownTaper = PotRevAudio20;

// Share of the track for travel x in [0, 1].
double TaperFraction(std::uint8_t taper, double x);
// "Log A", "Audio 15%", "Reverse audio 10%"; an unknown number gives "Linear (N)".
std::string TaperLabel(std::uint8_t taper);
// "linear", "loga", "audio15", "revaudio20"; empty for an unknown number.
std::string TaperName(std::uint8_t taper);
// The law of a name, in any letter case; nothing for a name of no law.
std::optional<std::uint8_t> TaperFromName(std::string_view name);

} // namespace cva
