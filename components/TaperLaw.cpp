#include "components/TaperLaw.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace cva {

namespace {

using Extended = long double;

// The travel at which a real carbon track starts: below it the wiper still
// rests on the end termination and the resistance to that end stays near zero.
constexpr Extended DeadZone = 0.04L;

struct TaperInfo {
    std::uint8_t Number;
    const char *Name;
    const char *Label;
    Extended MidShare; // audio laws only
    bool Reversed;
};

constexpr std::array<TaperInfo, LastKnownTaper + 1> Tapers{{
    {PotLinear, "linear", "Linear", 0, false},
    {PotLogA, "loga", "Log A", 0, false},
    {PotLogB, "logb", "Log B", 0, false},
    {PotAudio10, "audio10", "Audio 10%", 0.10L, false},
    {PotAudio15, "audio15", "Audio 15%", 0.15L, false},
    {PotAudio20, "audio20", "Audio 20%", 0.20L, false},
    {PotRevAudio10, "revaudio10", "Reverse audio 10%", 0.10L, true},
    {PotRevAudio15, "revaudio15", "Reverse audio 15%", 0.15L, true},
    {PotRevAudio20, "revaudio20", "Reverse audio 20%", 0.20L, true},
}};

// Two straight segments meeting at the middle of the travel.
Extended TwoSegmentLaw(Extended lowSlope, Extended highSlope, Extended highOffset, Extended x)
{
    return x < 0.5L ? lowSlope * x : highSlope * x - highOffset;
}

// Three segments: the flat zone at the start, then the low-resistivity ink up
// to mid travel, where the track reaches exactly midShare, then the steep
// ink to the top end.
Extended AudioLaw(Extended midShare, Extended x)
{
    if (x <= DeadZone)
        return 0;
    if (x <= 0.5L)
        return x == 0.5L ? midShare : midShare * (x - DeadZone) / (0.5L - DeadZone);
    return midShare + (1 - midShare) * (x - 0.5L) / 0.5L;
}

} // namespace

double TaperFraction(std::uint8_t taper, double x)
{
    const Extended t = x;
    switch (taper) {
    case PotLogA:
        return static_cast<double>(TwoSegmentLaw(0.6L, 1.4L, 0.4L, t));
    case PotLogB:
        return static_cast<double>(TwoSegmentLaw(0.2L, 1.8L, 0.8L, t));
    default:
        break;
    }
    if (taper > LastKnownTaper || Tapers[taper].MidShare == 0)
        return static_cast<double>(TwoSegmentLaw(1, 1, 0, t));
    const TaperInfo &info = Tapers[taper];
    return static_cast<double>(info.Reversed ? 1 - AudioLaw(info.MidShare, 1 - t) : AudioLaw(info.MidShare, t));
}

std::string TaperLabel(std::uint8_t taper)
{
    if (taper > LastKnownTaper)
        return "Linear (" + std::to_string(taper) + ")";
    return Tapers[taper].Label;
}

std::string TaperName(std::uint8_t taper)
{
    return taper > LastKnownTaper ? std::string() : Tapers[taper].Name;
}

std::optional<std::uint8_t> TaperFromName(std::string_view name)
{
    const auto sameName = [name](const TaperInfo &info) {
        const std::string_view known = info.Name;
        return std::equal(name.begin(), name.end(), known.begin(), known.end(), [](char a, char b) {
            return std::tolower(static_cast<unsigned char>(a)) == b;
        });
    };
    const auto found = std::find_if(Tapers.begin(), Tapers.end(), sameName);
    if (found == Tapers.end())
        return std::nullopt;
    return found->Number;
}

} // namespace cva
