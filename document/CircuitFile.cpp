#include "document/CircuitFile.h"

#include <algorithm>
#include <optional>
#include <set>

#include "components/EngNotation.h"
#include "components/MessageQuote.h"
#include "components/TaperLaw.h"
#include "io/AtomicFile.h"
#include "io/FileReading.h"
#include "io/KeyValueLines.h"
#include "numerics/Error.h"

namespace cva {

namespace {

constexpr std::array<const char *, 3> PositionKeys{"Pos1", "Pos2", "Pos3"};

// The index of the first line whose key matches, ignoring case.
std::optional<std::size_t> FindKey(const std::vector<TKeyValueLine> &lines, std::string_view key)
{
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (NameEqual(lines[i].Key, key))
            return i;
    return std::nullopt;
}

// A line that loading takes something from: a page, a control or a component.
bool IsCircuitLine(const TKeyValueLine &line, const TCircuit &circuit)
{
    const std::string_view key = line.Key;
    if (key.empty())
        return false;
    if (NameEqual(key, "Tab"))
        return circuit.Pages().FromCaption(line.Value).has_value();
    return std::any_of(PositionKeys.begin(), PositionKeys.end(),
                       [key](const char *position) { return NameEqual(key, position); }) ||
           circuit.Symbols.Contains(key);
}

// Runs one step of loading; an error it raises is told with its place in
// the file: 'amp.cva, line 7 (FR1): ...'.
template <typename Step>
void AtLine(std::string_view source, const TKeyValueLine &line, Step step)
{
    try {
        step();
    } catch (const CorvantaError &error) {
        std::string place = source.empty() ? std::string() : std::string(source) + ", ";
        place += "line " + std::to_string(line.Number) + " (" + std::string(line.Key) + "): ";
        throw CorvantaError(place + error.what());
    }
}

std::vector<TKeyValueLine> CircuitLines(std::string_view text)
{
    constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";
    if (text.substr(0, ByteOrderMark.size()) == ByteOrderMark)
        text.remove_prefix(ByteOrderMark.size());
    return KeyValueLines(text, TLineBreaks::NewlineOrReturn);
}

TCircuit ApplyLines(const std::vector<TKeyValueLine> &lines, const TCircuit &current, std::string_view source)
{
    TCircuit next = current;

    if (const auto tab = FindKey(lines, "Tab"))
        if (const auto page = next.Pages().FromCaption(lines[*tab].Value))
            next.Active = *page;

    for (int control = 0; control < BuiltInControl::Count; ++control) {
        const char *key = PositionKeys[std::size_t(control)];
        const auto line = FindKey(lines, key);
        if (!line || lines[*line].Value.empty())
            continue;
        AtLine(source, lines[*line], [&] { next.SetPosition(control, ParseInteger(lines[*line].Value)); });
    }

    // The first line of a name gives its value, so each name is applied once;
    // a name repeated on many lines must not make loading slow.
    std::set<std::string_view, bool (*)(std::string_view, std::string_view)> applied(&NameLess);
    for (const TKeyValueLine &line : lines) {
        const std::string_view name = line.Key;
        if (name.empty() || !next.Symbols.Contains(name) || !applied.insert(name).second)
            continue;
        AtLine(source, line, [&] { next.Symbols.SetInfo(name, line.Value); });
    }
    return next;
}

} // namespace

std::vector<std::string> CircuitFileLines(const TCircuit &circuit)
{
    std::vector<std::string> lines;
    lines.push_back("Tab=" + circuit.ActiveInfo().TabCaption);
    for (int control = 0; control < BuiltInControl::Count; ++control)
        lines.push_back(std::string(PositionKeys[std::size_t(control)]) + "=" +
                        std::to_string(circuit.Position(control)));
    // A netlist page is a file of its own: its parts are not the circuit file's.
    TCircuitValues saved;
    for (int page = 0; page < circuit.Pages().Count(); ++page)
        if (!circuit.Pages().Page(page).IsNetlist())
            saved.AddPage(circuit.Symbols.Page(page));
    for (const TSymbolList::Entry *entry : saved.InNameOrder())
        lines.push_back(entry->Name + "=" + entry->Symbol->GetInfo('.'));
    return lines;
}

std::string CircuitFileText(const TCircuit &circuit)
{
    std::string text;
    for (const std::string &line : CircuitFileLines(circuit))
        text += line + "\r\n";
    return text;
}

TWriteOptions CircuitFileWriteOptions(TSpecialFiles special)
{
    return {.Durable = true, .Special = special};
}

void SaveCircuitFile(const std::filesystem::path &path, const TCircuit &circuit, TSpecialFiles special)
{
    WriteFileAtomically(path, CircuitFileText(circuit), CircuitFileWriteOptions(special));
}

TCircuit ApplyCircuitText(std::string_view text, const TCircuit &current, std::string_view source)
{
    return ApplyLines(CircuitLines(text), current, source);
}

namespace {

// The warning for a "Tab" line that names no page, if there is one.
std::optional<std::string> UnknownPageWarning(const std::vector<TKeyValueLine> &lines, const TCircuit &current,
                                              std::string_view source)
{
    const auto tab = FindKey(lines, "Tab");
    if (!tab)
        return std::nullopt;
    const std::string_view caption = lines[*tab].Value;
    if (current.Pages().FromCaption(caption))
        return std::nullopt;
    const auto anyCase = current.Pages().FromCaption(caption, TCatalogue::TMatch::AnyCase);
    const std::string pages = anyCase ? "captions are matched exactly: \"" +
                                            current.Pages().Page(*anyCase).TabCaption + "\"?"
                                      : current.Pages().CaptionList();
    return std::string(source) + ", line " + std::to_string(lines[*tab].Number) + " (" + std::string(lines[*tab].Key) +
           "): " + QuoteExcerpt(caption, '"') + " names no page (" + pages + "); the page stays as it was";
}

} // namespace

TCircuit LoadCircuitFile(const std::filesystem::path &path, const TCircuit &current, TSpecialFiles special,
                         std::vector<std::string> *warnings)
{
    return LoadCircuitText(path, ReadWholeFile(path, MaxCircuitFileBytes, "a circuit file is a few kilobytes", special),
                           current, warnings);
}

TCircuit LoadCircuitText(const std::filesystem::path &path, std::string_view text, const TCircuit &current,
                         std::vector<std::string> *warnings)
{
    const std::vector<TKeyValueLine> lines = CircuitLines(text);
    if (std::none_of(lines.begin(), lines.end(),
                     [&current](const TKeyValueLine &line) { return IsCircuitLine(line, current); }))
        throw CannotOpenFile(path, "not a circuit file");
    TCircuit loaded = ApplyLines(lines, current, path.filename().string());
    if (warnings)
        if (auto warning = UnknownPageWarning(lines, current, path.filename().string()))
            warnings->push_back(std::move(*warning));
    return loaded;
}

std::vector<std::string> UnknownTaperWarnings(const TCircuit &circuit)
{
    std::vector<std::string> warnings;
    for (const TSymbolList::Entry *entry : circuit.Symbols.InNameOrder()) {
        const auto *pot = dynamic_cast<const TSymbolPot *>(entry->Symbol.get());
        if (!pot)
            continue;
        const int taper = pot->GetPotType();
        if (taper > LastKnownTaper)
            warnings.push_back(entry->Name + " has taper number " + std::to_string(taper) +
                               ", which is none of the known laws 0 to " + std::to_string(LastKnownTaper) +
                               "; it works as Linear");
    }
    return warnings;
}

} // namespace cva
