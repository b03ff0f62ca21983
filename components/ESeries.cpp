#include "components/ESeries.h"

#include <cmath>
#include <span>

#include "components/EngNotation.h"
#include "numerics/Error.h"

namespace cva {

namespace {

// The standard tables, one decade each: two significant digits for E12 and
// E24, three for E96.
constexpr int E12[] = {10, 12, 15, 18, 22, 27, 33, 39, 47, 56, 68, 82};
constexpr int E24[] = {10, 11, 12, 13, 15, 16, 18, 20, 22, 24, 27, 30,
                       33, 36, 39, 43, 47, 51, 56, 62, 68, 75, 82, 91};
constexpr int E96[] = {100, 102, 105, 107, 110, 113, 115, 118, 121, 124, 127, 130, 133, 137, 140, 143,
                       147, 150, 154, 158, 162, 165, 169, 174, 178, 182, 187, 191, 196, 200, 205, 210,
                       215, 221, 226, 232, 237, 243, 249, 255, 261, 267, 274, 280, 287, 294, 301, 309,
                       316, 324, 332, 340, 348, 357, 365, 374, 383, 392, 402, 412, 422, 432, 442, 453,
                       464, 475, 487, 499, 511, 523, 536, 549, 562, 576, 590, 604, 619, 634, 649, 665,
                       681, 698, 715, 732, 750, 768, 787, 806, 825, 845, 866, 887, 909, 931, 953, 976};

std::span<const int> Table(TESeries series)
{
    switch (series) {
    case TESeries::E12:
        return E12;
    case TESeries::E24:
        return E24;
    case TESeries::E96:
        break;
    }
    return E96;
}

// digits * 10^exponent as the double nearest the exact decimal: a power of ten
// up to 10^22 is exact, and one rounding of a quotient of exact numbers is
// the correctly rounded result.
double Scaled(int digits, int exponent)
{
    return exponent >= 0 ? digits * std::pow(10.0, exponent) : digits / std::pow(10.0, -exponent);
}

} // namespace

std::optional<TESeries> ESeriesFromName(std::string_view name)
{
    for (TESeries series : {TESeries::E12, TESeries::E24, TESeries::E96}) {
        const std::string_view known = ESeriesName(series);
        if (name.size() == known.size() && (name[0] == 'E' || name[0] == 'e') && name.substr(1) == known.substr(1))
            return series;
    }
    return std::nullopt;
}

const char *ESeriesName(TESeries series)
{
    switch (series) {
    case TESeries::E12:
        return "E12";
    case TESeries::E24:
        return "E24";
    case TESeries::E96:
        break;
    }
    return "E96";
}

double NearestESeriesValue(double value, TESeries series)
{
    if (!(value > 0) || !std::isfinite(value))
        throw CorvantaError(FloatToEngStr(value) + " has no nearest " + ESeriesName(series) +
                            " value: only a positive value has");
    const std::span<const int> table = Table(series);
    const int scale = table.front(); // 10 or 100: the table's first decade
    // The decade of the table that holds the value.
    const int exponent = int(std::floor(std::log10(value / scale)));
    double best = 0, bestDistance = INFINITY;
    // Both neighbouring decades, so a value just below a decade's start or
    // just above its end still meets its nearest entry.
    for (int decade = exponent - 1; decade <= exponent + 1; ++decade)
        for (int digits : table) {
            const double candidate = Scaled(digits, decade);
            const double distance = std::abs(std::log(value / candidate));
            if (distance < bestDistance) {
                best = candidate;
                bestDistance = distance;
            }
        }
    // Far beyond any part, the decades' powers of ten overflow.
    if (!(best > 0) || !std::isfinite(best))
        throw CorvantaError(FloatToEngStr(value) + " is beyond the range of the " + ESeriesName(series) + " series");
    return best;
}

} // namespace cva
