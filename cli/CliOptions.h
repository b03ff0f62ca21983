#pragma once

// Command line of corvanta-cli.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <utility>

namespace cva::cli {

enum class TOutputFormat { Csv, Json };

// The quantities a curve can be printed with, named as in the CSV header.
enum class TColumn { GainDb, PhaseDeg, GroupDelayS, ZinOhm, ZinPhaseDeg };
const char *ColumnName(TColumn column);

struct TCliOptions {
    std::optional<std::string> CircuitFile;
    std::optional<std::string> Preset;
    std::optional<std::string> Tab;
    std::optional<int> Bass, Mid, Treble;
    // "LABEL=N" of --control, applied in order after the three above.
    std::vector<std::pair<std::string, int>> Controls;
    std::vector<std::string> Sets; // "NAME=TEXT", applied in order
    std::optional<int> ResolutionStep;
    TOutputFormat Format = TOutputFormat::Csv;
    std::vector<TColumn> Columns{TColumn::GainDb};
    std::optional<std::string> Map; // print the response map over the control of this label instead
    std::optional<std::string> OutputPath;
    std::optional<std::string> SavePath;
    // The circuit as set, as an ngspice deck.
    std::optional<std::string> ExportSpicePath;
    // Pictures of the plot, drawn besides printing the curve.
    std::optional<std::string> PngPath;
    std::optional<std::string> SvgPath;
    // The pictures' size in pixels, as the desktop program's export chooses it.
    int PictureWidth = 407;
    int PictureHeight = 417;
    bool ListPresets = false;
    // Audio through the circuit into the WAV file --output names, instead of the curve.
    std::optional<std::string> RenderInput;
    std::optional<double> RenderDemoSeconds;
    bool FloatWav = false;
    // Rounds the active page's resistors and capacitors after every --set.
    std::optional<std::string> Snap;
    // The spread of real parts instead of the curve: the band, or the parts
    // that move the curve most.
    bool Tolerance = false;
    bool Sensitivity = false;
    std::optional<int> Runs;
    std::optional<std::uint64_t> Seed;
    std::vector<std::pair<std::string, double>> Tolerances; // NAME=PCT, applied in order

    bool Renders() const { return RenderInput || RenderDemoSeconds; }
    // Play live through a JACK server instead, as a client of this name.
    bool Live = false;
    std::string JackName = "corvanta";
    bool JackConnect = true; // to the first physical ports
    bool Help = false;
    bool Version = false;
};

// A command line that cannot be understood: exit status 2 with the usage text.
struct TUsageError {
    std::string Message;
};

TCliOptions ParseCommandLine(const std::vector<std::string> &arguments);
std::string UsageText();
// The lines after a usage problem's reason: where the options are explained.
const char *UsageHint();

} // namespace cva::cli
