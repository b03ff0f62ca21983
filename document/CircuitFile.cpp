#include "document/CircuitFile.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>

#include "components/EngNotation.h"
#include "document/AtomicFile.h"
#include "numerics/Error.h"

namespace cva {

namespace {

constexpr std::array<const char *, 3> PositionKeys{"Pos1", "Pos2", "Pos3"};

std::vector<std::string_view> SplitLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n')
            continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.push_back(text.substr(start));
    return lines;
}

std::string_view KeyOf(std::string_view line)
{
    const std::size_t equals = line.find('=');
    return equals == std::string_view::npos ? std::string_view() : line.substr(0, equals);
}

// The value of the first line whose key matches, ignoring case; empty if none.
std::string_view LookupValue(const std::vector<std::string_view> &lines, std::string_view key)
{
    for (std::string_view line : lines) {
        const std::size_t equals = line.find('=');
        if (equals != std::string_view::npos && NameEqual(line.substr(0, equals), key))
            return line.substr(equals + 1);
    }
    return {};
}

std::string Quoted(const std::filesystem::path &path)
{
    return "\"" + path.string() + "\"";
}

} // namespace

std::vector<std::string> CircuitFileLines(const TCircuit &circuit)
{
    std::vector<std::string> lines;
    lines.push_back("Tab=" + std::string(circuit.ActiveInfo().TabCaption));
    for (TSlider slider : AllSliders)
        lines.push_back(std::string(PositionKeys[int(slider)]) + "=" + std::to_string(circuit.Position(slider)));
    for (const auto &entry : circuit.Symbols)
        lines.push_back(entry.Name + "=" + entry.Symbol->GetInfo('.'));
    return lines;
}

std::string CircuitFileText(const TCircuit &circuit)
{
    std::string text;
    for (const std::string &line : CircuitFileLines(circuit))
        text += line + "\r\n";
    return text;
}

void SaveCircuitFile(const std::filesystem::path &path, const TCircuit &circuit)
{
    WriteFileAtomically(path, CircuitFileText(circuit));
}

TCircuit ApplyCircuitText(std::string_view text, const TCircuit &current, char decimalSeparator)
{
    const std::vector<std::string_view> lines = SplitLines(text);
    TCircuit next = current;

    if (const std::string_view tab = LookupValue(lines, "Tab"); !tab.empty())
        if (const auto topology = TopologyFromCaption(tab))
            next.Active = *topology;

    for (TSlider slider : AllSliders)
        if (const std::string_view position = LookupValue(lines, PositionKeys[int(slider)]); !position.empty())
            next.SetPosition(slider, ParseInteger(position));

    // The first line of a name gives its value, so each name is applied once;
    // a name repeated on many lines must not make loading slow.
    std::set<std::string_view, bool (*)(std::string_view, std::string_view)> applied(&NameLess);
    for (std::string_view line : lines) {
        const std::string_view name = KeyOf(line);
        if (name.empty() || !next.Symbols.Contains(name) || !applied.insert(name).second)
            continue;
        next.Symbols.SetInfo(name, LookupValue(lines, name), decimalSeparator);
    }
    return next;
}

TCircuit LoadCircuitFile(const std::filesystem::path &path, const TCircuit &current, char decimalSeparator)
{
    auto fail = [&path](const std::string &reason) {
        return CorvantaError("Cannot open file " + Quoted(path) + ". " + reason);
    };
    std::error_code error;
    if (std::filesystem::is_directory(path, error))
        throw fail(std::strerror(EISDIR));
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw fail(std::strerror(errno));
    std::ostringstream content;
    content << in.rdbuf();
    if (in.bad())
        throw fail(std::strerror(errno));
    return ApplyCircuitText(content.str(), current, decimalSeparator);
}

} // namespace cva
