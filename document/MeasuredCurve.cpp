#include "document/MeasuredCurve.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

#include "components/EngNotation.h"
#include "components/MessageQuote.h"
#include "io/FileReading.h"
#include "numerics/Error.h"

namespace cva {

namespace {

constexpr std::size_t MaxCurveFileBytes = 16 << 20;

bool IsSeparator(char c) { return c == ',' || c == ';' || c == '\t' || c == ' '; }

// Fields apart by a comma, a semicolon, a tab or blanks; blanks around a
// comma or semicolon do not make empty fields.
std::vector<std::string_view> Fields(std::string_view line)
{
    std::vector<std::string_view> fields;
    std::size_t at = 0;
    while (at < line.size()) {
        while (at < line.size() && line[at] == ' ')
            ++at;
        std::size_t end = at;
        while (end < line.size() && !IsSeparator(line[end]))
            ++end;
        fields.push_back(line.substr(at, end - at));
        at = end;
        while (at < line.size() && line[at] == ' ')
            ++at;
        if (at < line.size() && IsSeparator(line[at]))
            ++at;
    }
    return fields;
}

bool IsNumber(std::string_view text)
{
    try {
        ParsePlainNumber(text);
        return true;
    } catch (const CorvantaError &) {
        return false;
    }
}

std::string LineError(std::size_t line, const std::string &what)
{
    return "line " + std::to_string(line) + ": " + what;
}

} // namespace

TMeasuredCurve ParseMeasuredCurve(std::string_view text)
{
    TMeasuredCurve curve;
    std::vector<std::size_t> lineOf; // each point's line, for a duplicate's message
    std::size_t columns = 0, lineNumber = 0;
    bool headerAllowed = true;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        const std::size_t first = line.find_first_not_of(" \t");
        if (first == std::string_view::npos || line[first] == '#' || line[first] == ';')
            continue;
        const std::vector<std::string_view> fields = Fields(line.substr(first));
        if (headerAllowed && std::none_of(fields.begin(), fields.end(), IsNumber)) {
            headerAllowed = false;
            continue;
        }
        headerAllowed = false;
        if (fields.size() != 2 && fields.size() != 3)
            throw CorvantaError(LineError(lineNumber, QuoteExcerpt(line, '"') +
                                                          " is not frequency, dB and an optional phase"));
        if (columns != 0 && fields.size() != columns)
            throw CorvantaError(LineError(lineNumber, "has " + std::to_string(fields.size()) +
                                                          " numbers where the lines before have " +
                                                          std::to_string(columns)));
        columns = fields.size();
        TMeasuredPoint point;
        try {
            point.Frequency = ParsePlainNumber(fields[0]);
            point.GainDb = ParsePlainNumber(fields[1]);
            if (columns == 3)
                point.PhaseDeg = ParsePlainNumber(fields[2]);
        } catch (const CorvantaError &error) {
            throw CorvantaError(LineError(lineNumber, error.what()));
        }
        // The number reader takes finite numbers only.
        if (!(point.Frequency > 0))
            throw CorvantaError(LineError(lineNumber, "the frequency must be above 0 Hz"));
        curve.Points.push_back(point);
        lineOf.push_back(lineNumber);
    }
    if (curve.Points.size() < 2)
        throw CorvantaError("A curve needs at least two points of frequency and dB");
    std::vector<std::size_t> order(curve.Points.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&curve](std::size_t a, std::size_t b) {
        return curve.Points[a].Frequency < curve.Points[b].Frequency;
    });
    TMeasuredCurve sorted;
    sorted.HasPhase = columns == 3;
    for (std::size_t i = 0; i < order.size(); ++i) {
        if (i > 0 && curve.Points[order[i]].Frequency == curve.Points[order[i - 1]].Frequency)
            throw CorvantaError(LineError(std::max(lineOf[order[i]], lineOf[order[i - 1]]),
                                          "the frequency " + FormatGeneral(curve.Points[order[i]].Frequency) +
                                              " Hz is given twice (also on line " +
                                              std::to_string(std::min(lineOf[order[i]], lineOf[order[i - 1]])) + ")"));
        sorted.Points.push_back(curve.Points[order[i]]);
    }
    return sorted;
}

TMeasuredCurve LoadMeasuredCurve(const std::filesystem::path &path)
{
    const std::string text = ReadWholeFile(path, MaxCurveFileBytes, "a curve file is at most 16 MB");
    try {
        return ParseMeasuredCurve(text);
    } catch (const CorvantaError &error) {
        throw CannotOpenFile(path, error.what());
    }
}

TTrace MeasuredCurveOnGrid(const TMeasuredCurve &curve, double TMeasuredPoint::*quantity)
{
    TTrace trace;
    const auto &points = curve.Points;
    for (int k = 0; k < GridPoints; ++k) {
        const double f = GridFrequency(GridFirstStep + k);
        const auto above = std::lower_bound(points.begin(), points.end(), f,
                                            [](const TMeasuredPoint &p, double x) { return p.Frequency < x; });
        if (above == points.end() || (above == points.begin() && above->Frequency != f)) {
            trace[std::size_t(k)] = std::numeric_limits<double>::quiet_NaN();
            continue;
        }
        if (above->Frequency == f) {
            trace[std::size_t(k)] = (*above).*quantity;
            continue;
        }
        const auto below = above - 1;
        const double t = std::log(f / below->Frequency) / std::log(above->Frequency / below->Frequency);
        trace[std::size_t(k)] = (*below).*quantity + t * ((*above).*quantity - (*below).*quantity);
    }
    return trace;
}

} // namespace cva
