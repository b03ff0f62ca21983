#include "document/Preset.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <set>

#include "components/MessageQuote.h"
#include "document/ComponentSetting.h"
#include "document/Netlist.h"
#include "io/FileReading.h"
#include "io/KeyValueLines.h"
#include "numerics/Error.h"

#ifndef CORVANTA_PRESETS_INSTALLED
#define CORVANTA_PRESETS_INSTALLED "../share/corvanta/presets"
#endif

namespace cva {

namespace {

constexpr std::size_t MaxPresetFileBytes = 64 * 1024;
// A name fits a menu, the choice above the schematic and a terminal's line.
constexpr std::size_t MaxNameCharacters = 80;

// Blank lines and lines starting with '#' are comments; every other line
// must be "key=value".
std::vector<TKeyValueLine> PresetLines(std::string_view text)
{
    std::vector<TKeyValueLine> lines;
    for (const TKeyValueLine &line : KeyValueLines(text, TLineBreaks::Newline)) {
        if (line.Text.empty() || line.Text.front() == '#')
            continue;
        if (line.Key.empty())
            throw CorvantaError("line " + std::to_string(line.Number) + " is not key=value");
        lines.push_back(line);
    }
    return lines;
}

// A preset must give a curve that can be shown at every slider position, so
// a value such as a zero capacitor is refused when the preset is read, not
// when it is applied.
void CheckCurveIsFinite(const TCircuit &circuit)
{
    for (int position : {0, SliderMaximum / 2, SliderMaximum}) {
        TCircuit probe = circuit;
        for (int control = 0; control < probe.ControlCount(); ++control)
            probe.SetPosition(control, position);
        probe.ResolutionStep = ResolutionLow;
        TTrace live{};
        try {
            Recalculate(probe, live);
        } catch (const CorvantaError &) {
            throw CorvantaError("its values give no finite curve with the sliders at " + std::to_string(position));
        }
    }
}

// The texts a preset shows in menus, the status bar and --list-presets: no
// escape code may reach a terminal, and no tab or line break may break the
// "page<TAB>name" lines.
void CheckShownText(const char *key, std::string_view text, std::size_t maxCharacters)
{
    const std::optional<std::size_t> characters = PrintableCharacters(text);
    if (!characters)
        throw CorvantaError(std::string("its ") + key + " is not one line of printable text: " +
                            QuoteExcerpt(text, '"'));
    if (*characters > maxCharacters)
        throw CorvantaError(std::string("its ") + key + " is longer than " + std::to_string(maxCharacters) +
                            " characters");
}

std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

std::string ReadPresetFile(const std::filesystem::path &path)
{
    std::error_code error;
    if (std::filesystem::is_directory(path, error))
        throw CorvantaError(std::strerror(EISDIR));
    // A preset is a few hundred bytes; the bound keeps a stray huge file
    // in the folder from holding up the start, and a named pipe is no preset.
    return ReadWholeFile(path, MaxPresetFileBytes, "a preset file is under a kilobyte", TSpecialFiles::Refused);
}

} // namespace

TPreset ParsePreset(std::string_view text)
{
    const std::vector<TKeyValueLine> lines = PresetLines(text);
    std::optional<std::string_view> name, tab, origin, source;
    std::vector<TKeyValueLine> components;
    std::set<std::string_view, bool (*)(std::string_view, std::string_view)> seen(&NameLess);
    for (const TKeyValueLine &line : lines) {
        if (!seen.insert(line.Key).second)
            throw CorvantaError("\"" + std::string(line.Key) + "\" is given twice");
        if (NameEqual(line.Key, "Name"))
            name = Trimmed(line.Value);
        else if (NameEqual(line.Key, "Tab"))
            tab = line.Value;
        else if (NameEqual(line.Key, "Origin"))
            origin = line.Value;
        else if (NameEqual(line.Key, "Source"))
            source = line.Value;
        else
            components.push_back(line);
    }
    const std::pair<const char *, const std::optional<std::string_view> *> required[] = {
        {"Name", &name}, {"Tab", &tab}, {"Origin", &origin}, {"Source", &source}};
    for (const auto &[key, value] : required)
        if (!*value || (*value)->empty())
            throw CorvantaError(std::string("it has no ") + key);

    CheckShownText("Name", *name, MaxNameCharacters);
    CheckShownText("Origin", *origin, std::string_view::npos);
    CheckShownText("Source", *source, std::string_view::npos);

    TCircuit circuit;
    const std::optional<int> page = circuit.Pages().FromCaption(*tab);
    if (!page)
        throw CorvantaError("\"" + std::string(*tab) + "\" is not a page");
    const TCircuitDef &info = circuit.Pages().Page(*page);
    circuit.Active = *page;
    for (const TKeyValueLine &component : components) {
        if (!circuit.ActiveValues().Contains(component.Key))
            throw CorvantaError("\"" + std::string(component.Key) + "\" is not a component of the " +
                                std::string(info.TabCaption) + " page");
        try {
            ApplyComponentSetting(circuit, component.Key, component.Value);
        } catch (const CorvantaError &error) {
            throw CorvantaError("the value of " + std::string(component.Key) + " does not convert: " + error.what());
        }
    }
    CheckCurveIsFinite(circuit);
    // Real parts: what the engine refuses (a negative value) is no preset.
    CheckNetlist(BuildNetlist(circuit));

    TPreset preset{std::string(*name), *page, std::string(*origin), std::string(*source), {}};
    for (const TComponentDefault &part : info.Components)
        preset.Components.emplace_back(part.Name, circuit.Symbols.Find(part.Name).GetInfo('.'));
    return preset;
}

const TPreset *TPresetLibrary::Find(std::string_view name) const
{
    const auto found =
        std::find_if(Presets.begin(), Presets.end(), [name](const TPreset &p) { return NameEqual(p.Name, name); });
    return found == Presets.end() ? nullptr : &*found;
}

std::vector<const TPreset *> TPresetLibrary::ForPage(int page) const
{
    std::vector<const TPreset *> result;
    for (const TPreset &preset : Presets)
        if (preset.Page == page)
            result.push_back(&preset);
    return result;
}

TPresetLibrary LoadPresetFolder(const std::filesystem::path &folder)
{
    TPresetLibrary library;
    std::vector<std::filesystem::path> files;
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        if (it->path().extension() == "." + std::string(PresetFileExtension))
            files.push_back(it->path());
    if (error) {
        library.Warnings.push_back("The preset folder " + folder.string() + " cannot be read: " + error.message());
        return library;
    }
    // Directory order differs between systems; file-name order keeps the
    // choice between two files of one name the same everywhere.
    std::sort(files.begin(), files.end());
    std::vector<std::string> fileOfPreset;
    for (const std::filesystem::path &file : files) {
        try {
            TPreset preset = ParsePreset(ReadPresetFile(file));
            if (const TPreset *same = library.Find(preset.Name))
                throw CorvantaError("another preset is already called \"" + preset.Name + "\" (in " +
                                    fileOfPreset[std::size_t(same - library.Presets.data())] + ")");
            library.Presets.push_back(std::move(preset));
            fileOfPreset.push_back(file.filename().string());
        } catch (const CorvantaError &reason) {
            library.Warnings.push_back("Preset " + file.filename().string() + " left out: " + reason.what());
        }
    }
    std::stable_sort(library.Presets.begin(), library.Presets.end(), [](const TPreset &a, const TPreset &b) {
        return a.Page != b.Page ? a.Page < b.Page : NameLess(a.Name, b.Name);
    });
    return library;
}

std::optional<std::filesystem::path> FindPresetFolder(const std::filesystem::path &programFolder)
{
    std::error_code error;
    for (const std::filesystem::path &candidate :
         {programFolder / "presets", programFolder / CORVANTA_PRESETS_INSTALLED})
        if (std::filesystem::is_directory(candidate, error))
            return candidate.lexically_normal();
    return std::nullopt;
}

void ApplyPreset(TCircuit &circuit, const TPreset &preset)
{
    // Every text was read once already, so nothing here can fail half way.
    for (const auto &[name, text] : preset.Components)
        circuit.Symbols.SetInfo(name, text);
    circuit.Active = preset.Page;
}

} // namespace cva
