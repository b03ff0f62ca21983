// corvanta-cli: the headless front end of the computation core. Loads a
// circuit, applies the options, computes the live curve exactly as the
// desktop program does and prints it.

#include <cerrno>
#include <csignal>
#include <cstring>
#include <exception>
#include <filesystem>
#include <iostream>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cli/AudioRender.h"
#include "cli/CliModule.h"
#include "cli/CliOptions.h"
#include "cli/LiveControl.h"
#include "cli/LivePlay.h"
#include "cli/PlotPictures.h"
#include "cli/TraceOutput.h"
#include "document/CircuitFile.h"
#include "document/ComponentSetting.h"
#include "document/ESeriesSnap.h"
#include "document/Tolerance.h"
#include "document/ComponentNames.h"
#include "document/ModelCheck.h"
#include "document/Preset.h"
#include "document/ResponseMap.h"
#include "document/Version.h"
#include "io/AtomicFile.h"
#include "document/NetlistPage.h"
#include "document/SpiceExport.h"
#include "numerics/Error.h"

using namespace cva;
using namespace cva::cli;

namespace {

constexpr int ExitFailure = 1;
constexpr int ExitUsage = 2;

// The library shipped beside this program; each file left out is reported
// on standard error and the others are used.
TPresetLibrary LoadPresets()
{
    const std::optional<std::filesystem::path> program = ProgramFolder();
    const auto folder = program ? FindPresetFolder(*program) : std::nullopt;
    if (!folder) {
        std::cerr << "corvanta-cli: warning: no preset folder was found beside the program\n";
        return {};
    }
    TPresetLibrary library = LoadPresetFolder(*folder);
    for (const std::string &warning : library.Warnings)
        std::cerr << "corvanta-cli: warning: " << warning << "\n";
    return library;
}

// The active page's control of that label, in any letter case.
// The first label the page has of those given: a netlist's mid knob is
// often labelled "Middle", as on the amplifiers' panels.
int ControlOfLabel(const TCircuit &circuit, std::initializer_list<std::string_view> labels, const char *option)
{
    std::string asked;
    for (const std::string_view label : labels) {
        if (const auto control = circuit.FindControl(label))
            return *control;
        asked += (asked.empty() ? "\"" : " or \"") + std::string(label) + "\"";
    }
    throw TUsageError{std::string(option) + " takes a control of the " + circuit.ActiveInfo().TabCaption + " page (" +
                      ControlLabels(circuit) + "), not " + asked};
}

// A name of no page is refused with the names the active page has; a part
// of another page is set, as the circuit file would, with a warning, since
// it does not change the curve printed.
void CheckSettingName(const TCircuit &circuit, const std::string &name)
{
    const std::string &active = circuit.ActiveInfo().TabCaption;
    const int page = circuit.PageWithPart(name);
    if (page < 0)
        throw CorvantaError("--set: there is no component " + name + "; the " + active + " page has " +
                            PageComponentNames(circuit, circuit.Active));
    if (page != circuit.Active)
        std::cerr << "corvanta-cli: warning: --set " << name << " changes " << ComponentOnPage(circuit, name)
                  << ", not a part of the active " << active << " page\n";
}

TCircuit BuildCircuit(const TCliOptions &options)
{
    TCircuit circuit;
    if (options.CircuitFile) {
        std::vector<std::string> warnings;
        circuit = LoadCircuitOrNetlist(*options.CircuitFile, circuit, TSpecialFiles::Allowed, &warnings);
        for (const std::string &warning : warnings)
            std::cerr << "corvanta-cli: warning: " << warning << "\n";
    }
    if (options.Preset) {
        const TPresetLibrary library = LoadPresets();
        const TPreset *preset = library.Find(*options.Preset);
        if (!preset)
            throw TUsageError{"unknown preset \"" + *options.Preset + "\" (--list-presets lists them)"};
        ApplyPreset(circuit, *preset);
    }
    if (options.Tab) {
        const auto page = circuit.Pages().FromCaption(*options.Tab, TCatalogue::TMatch::AnyCase);
        if (!page)
            throw TUsageError{"unknown tab \"" + *options.Tab + "\""};
        circuit.Active = *page;
    }
    // By label: a netlist lists its controls in its own order.
    if (options.Bass)
        circuit.SetPosition(ControlOfLabel(circuit, {"Bass"}, "--bass"), *options.Bass);
    if (options.Mid)
        circuit.SetPosition(ControlOfLabel(circuit, {"Mid", "Middle"}, "--mid"), *options.Mid);
    if (options.Treble)
        circuit.SetPosition(ControlOfLabel(circuit, {"Treble"}, "--treble"), *options.Treble);
    for (const auto &[label, position] : options.Controls)
        circuit.SetPosition(ControlOfLabel(circuit, {label}, "--control"), position);
    for (const std::string &setting : options.Sets) {
        CheckSettingName(circuit, setting.substr(0, setting.find('=')));
        ApplyComponentSetting(circuit, setting);
    }
    if (options.Snap)
        for (const std::string &warning : SnapActivePage(circuit, *ESeriesFromName(*options.Snap)))
            std::cerr << "corvanta-cli: warning: " << warning << "\n";
    if (options.ResolutionStep)
        circuit.ResolutionStep = *options.ResolutionStep;
    return circuit;
}

// The live curve with the columns asked for, or the response map.
std::string CurveText(const TCliOptions &options, const TCircuit &circuit, const TTrace &live)
{
    if (options.Tolerance || options.Sensitivity) {
        std::vector<TPartTolerance> tolerances = DefaultTolerances(circuit);
        for (const auto &[target, percent] : options.Tolerances)
            SetTolerance(tolerances, target, percent);
        if (options.Sensitivity)
            return SensitivityCsv(CalcSensitivity(circuit), tolerances);
        return ToleranceCsv(live, CalcToleranceBand(circuit, tolerances, options.Runs.value_or(1000),
                                                    options.Seed.value_or(DefaultToleranceSeed)));
    }
    const bool json = options.Format == TOutputFormat::Json;
    if (options.Map) {
        const int control = ControlOfLabel(circuit, {*options.Map}, "--map");
        const std::vector<TTrace> map = CalcResponseMap(circuit, control, circuit.ResolutionStep);
        return json ? MapJson(circuit, control, map) : MapCsv(map);
    }
    TResponseCurves engine{};
    for (TColumn column : options.Columns)
        if (column != TColumn::GainDb) {
            CalcEngineCurves(circuit, engine);
            break;
        }
    const TPrintedCurves curves{live, engine, options.Columns};
    return json ? TraceJson(circuit, curves) : TraceCsv(curves);
}

// Two outputs into one file would leave only the last written, and an output
// into the file read would replace the circuit with a curve or a picture:
// only --save writes the file read back, as its values stand.
void CheckOutputFiles(const TCliOptions &options)
{
    const auto same = [](const std::string &a, const std::string &b) {
        std::error_code error;
        return std::filesystem::equivalent(a, b, error) ||
               std::filesystem::absolute(a, error).lexically_normal() == std::filesystem::absolute(b, error).lexically_normal();
    };
    const std::pair<const char *, const std::optional<std::string> *> outputs[] = {
        {"--output", &options.OutputPath}, {"--png", &options.PngPath},     {"--svg", &options.SvgPath},
        {"--save", &options.SavePath},     {"--export-spice", &options.ExportSpicePath}};
    for (std::size_t i = 0; i < std::size(outputs); ++i) {
        const auto &[option, path] = outputs[i];
        if (!*path)
            continue;
        if (options.CircuitFile && std::string_view(option) != "--save" && same(**path, *options.CircuitFile))
            throw TUsageError{std::string(option) + " " + **path + " would replace the file read; --save writes it back"};
        for (std::size_t j = 0; j < i; ++j)
            if (*outputs[j].second && same(**path, **outputs[j].second))
                throw TUsageError{std::string(outputs[j].first) + " and " + option + " name the same file " + **path};
    }
}

// Told once per run, whether the taper came from the file or from --set.
void WarnOfUnknownTapers(const TCircuit &circuit)
{
    for (const std::string &warning : UnknownTaperWarnings(circuit))
        std::cerr << "corvanta-cli: warning: " << warning << "\n";
}

} // namespace

int main(int argc, char **argv)
{
    // A file size limit then fails the write with "File too large", which is
    // reported, instead of killing the tool half way.
    std::signal(SIGXFSZ, SIG_IGN);
    try {
        const TCliOptions options = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
        if (options.Help) {
            std::cout << UsageText();
            return 0;
        }
        if (options.Version) {
            std::cout << "corvanta-cli " << ProgramVersion << "\n";
            return 0;
        }
        if (options.ListPresets) {
            for (const TPreset &preset : LoadPresets().Presets)
                std::cout << TCatalogue().Page(preset.Page).TabCaption << "\t" << preset.Name << "\n";
            return 0;
        }
        if ((options.PngPath || options.SvgPath) && !PlotPicturesAvailable())
            throw TUsageError{"--png and --svg are not available: this corvanta-cli was built without Qt"};
        CheckOutputFiles(options);
        const TCircuit circuit = BuildCircuit(options);
        WarnOfUnknownTapers(circuit);
        if (options.SavePath)
            CheckSavedKind(*options.SavePath, SavedText(circuit), circuit.ActiveInfo().IsNetlist());
        if (options.Live) {
            PlayLive(options, circuit);
            return 0;
        }
        if (options.Renders()) {
            // The circuit file is checked and made ready first, and put in
            // place only once the audio is written.
            std::optional<TAtomicFile> save;
            if (options.SavePath) {
                save.emplace(*options.SavePath, CircuitFileWriteOptions());
                save->Write(SavedText(circuit));
            }
            RenderAudio(options, circuit);
            if (save)
                save->Commit();
            return 0;
        }
        TTrace live{};
        Recalculate(circuit, live);
        // Computed first: where the engine refuses the circuit, its refusal
        // is the one message, not also the warning about the live curve.
        const std::string text = CurveText(options, circuit, live);
        if (const auto warning = ModelAccuracyWarning(circuit, live))
            std::cerr << "corvanta-cli: warning: " << *warning << "\n";
        // Every output file is checked and made ready before any is written,
        // so that one failing leaves all as they were; standard output comes
        // last, so that nothing is printed when any of them fails.
        std::optional<TAtomicFile> output, png, svg, save, spice;
        if (options.OutputPath)
            output.emplace(*options.OutputPath);
        if (options.PngPath)
            png.emplace(*options.PngPath);
        if (options.SvgPath)
            svg.emplace(*options.SvgPath);
        if (options.SavePath)
            save.emplace(*options.SavePath, CircuitFileWriteOptions());
        if (options.ExportSpicePath)
            spice.emplace(*options.ExportSpicePath);
        const std::string deck = spice ? SpiceDeck(circuit) : std::string();
        const TPlotPictures pictures = png || svg ? DrawPlotPictures(bool(png), bool(svg), options.PictureWidth,
                                                                         options.PictureHeight, live) : TPlotPictures{};
        const std::string circuitText = SavedText(circuit);
        const std::pair<std::optional<TAtomicFile> *, std::string_view> files[] = {
            {&output, text}, {&png, pictures.Png}, {&svg, pictures.Svg}, {&save, circuitText}, {&spice, deck}};
        for (const auto &[file, bytes] : files)
            if (*file)
                (*file)->Write(bytes);
        for (const auto &[file, bytes] : files)
            if (*file)
                (*file)->Commit();
        if (!options.OutputPath) {
            std::cout << text << std::flush;
            if (!std::cout)
                throw CorvantaError(std::string("Cannot write the curve to standard output. ") +
                                    std::strerror(errno));
        }
        return 0;
    } catch (const TUsageError &error) {
        std::cerr << "corvanta-cli: " << error.Message << "\n" << UsageHint();
        return ExitUsage;
    } catch (const std::bad_alloc &) {
        std::cerr << "corvanta-cli: Not enough memory to finish the computation.\n";
        return ExitFailure;
    } catch (const std::exception &error) {
        // The program's own errors, and any other failure of the library: a
        // message and exit status 1.
        std::cerr << "corvanta-cli: " << error.what() << "\n";
        return ExitFailure;
    }
}
