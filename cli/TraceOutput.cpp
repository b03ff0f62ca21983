#include "cli/TraceOutput.h"

#include <string_view>

namespace cva::cli {

namespace {

std::string JsonString(std::string_view text)
{
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + "\"";
}

const char *ResolutionName(int step)
{
    switch (step) {
    case ResolutionLow:
        return "low";
    case ResolutionHigh:
        return "high";
    default:
        return "medium";
    }
}

} // namespace

std::string TraceCsv(const TTrace &trace)
{
    std::string out = "frequency_hz,gain_db\n";
    for (int k = 0; k < GridPoints; ++k)
        out += ShortestNumber(GridFrequency(GridFirstStep + k)) + "," + ShortestNumber(trace[k]) + "\n";
    return out;
}

std::string TraceJson(const TCircuit &circuit, const TTrace &trace)
{
    std::string out = "{\"tab\":" + JsonString(circuit.ActiveInfo().TabCaption);
    out += ",\"bass\":" + std::to_string(circuit.Position(TSlider::Bass));
    out += ",\"mid\":" + std::to_string(circuit.Position(TSlider::Mid));
    out += ",\"treble\":" + std::to_string(circuit.Position(TSlider::Treble));
    out += ",\"resolution\":" + JsonString(ResolutionName(circuit.ResolutionStep));
    out += ",\"points\":[";
    for (int k = 0; k < GridPoints; ++k) {
        if (k > 0)
            out += ",";
        out += "{\"frequency_hz\":" + ShortestNumber(GridFrequency(GridFirstStep + k)) +
               ",\"gain_db\":" + ShortestNumber(trace[k]) + "}";
    }
    return out + "]}\n";
}

} // namespace cva::cli
