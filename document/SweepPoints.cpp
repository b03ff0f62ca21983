#include "document/SweepPoints.h"

#include <algorithm>

#include "components/EngNotation.h"
#include "components/MessageQuote.h"
#include "numerics/Error.h"

namespace cva {

std::vector<int> ParseSweepPoints(std::string_view text)
{
    constexpr std::string_view separators = ",; \t";
    std::vector<int> points;
    std::size_t start = 0;
    while ((start = text.find_first_not_of(separators, start)) != std::string_view::npos) {
        const std::size_t end = std::min(text.find_first_of(separators, start), text.size());
        const std::string_view entry = text.substr(start, end - start);
        int position = -1;
        try {
            position = ParseInteger(entry);
        } catch (const CorvantaError &) {
        }
        if (position < 0 || position > 100)
            throw CorvantaError(QuoteExcerpt(entry, '"') + " is not a slider position: give whole numbers from 0 to 100");
        points.push_back(position);
        start = end;
    }
    if (points.empty())
        throw CorvantaError("Give at least one slider position from 0 to 100");
    std::sort(points.begin(), points.end());
    points.erase(std::unique(points.begin(), points.end()), points.end());
    return points;
}

std::string FormatSweepPoints(const std::vector<int> &points)
{
    std::string text;
    for (int position : points)
        text += (text.empty() ? "" : ", ") + std::to_string(position);
    return text;
}

} // namespace cva
