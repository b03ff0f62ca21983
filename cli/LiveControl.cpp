#include "cli/LiveControl.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <string>

#include "numerics/Error.h"

namespace cva::cli {

namespace {

bool SameLetters(std::string_view a, std::string_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](unsigned char x, unsigned char y) {
        return std::tolower(x) == std::tolower(y);
    });
}

std::string_view Trimmed(std::string_view text)
{
    const auto blank = [](unsigned char c) { return std::isspace(c) != 0; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

} // namespace

std::string ControlLabels(const TCircuit &circuit)
{
    std::string labels;
    for (const TControlDef &control : circuit.ActiveInfo().Controls)
        labels += (labels.empty() ? "" : ", ") + control.Label;
    return labels;
}

std::optional<int> ParsePosition(std::string_view text)
{
    int value = -1;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 0 || value > SliderMaximum)
        return std::nullopt;
    return value;
}

TControlLine ParseControlLine(const TCircuit &circuit, std::string_view line)
{
    line = Trimmed(line);
    if (line.empty())
        return {};
    if (SameLetters(line, "quit"))
        return {TControlLine::Quit};
    const std::size_t space = line.find_first_of(" \t");
    const std::string_view label = line.substr(0, space);
    const std::string_view number = space == std::string_view::npos ? std::string_view() : Trimmed(line.substr(space));
    const std::optional<int> control = circuit.FindControl(label);
    if (!control)
        throw CorvantaError("the " + circuit.ActiveInfo().TabCaption + " page has no control \"" +
                            std::string(label) + "\" (it has " + ControlLabels(circuit) + ")");
    const std::optional<int> position = ParsePosition(number);
    if (!position)
        throw CorvantaError("a position is a whole number from 0 to 100, not \"" + std::string(number) + "\"");
    return {TControlLine::Move, *control, *position};
}

} // namespace cva::cli
