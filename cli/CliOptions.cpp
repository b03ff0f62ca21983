#include "cli/CliOptions.h"

#include <algorithm>
#include <charconv>
#include <limits>

#include "cli/LiveControl.h"
#include "cli/RenderModule.h"
#include "document/Catalogue.h"
#include "models/Calc.h"

namespace cva::cli {

namespace {

template <typename Number>
Number WholeNumber(const std::string &option, const std::string &text, Number least, Number most)
{
    Number value{};
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || ptr != text.data() + text.size() || value < least || value > most)
        throw TUsageError{option + " takes a whole number from " + std::to_string(least) + " to " +
                          std::to_string(most) + ", not \"" + text + "\""};
    return value;
}

int SliderValue(const std::string &option, const std::string &text)
{
    const std::optional<int> value = ParsePosition(text);
    if (!value)
        throw TUsageError{option + " takes a whole number from 0 to 100, not \"" + text + "\""};
    return *value;
}

constexpr TColumn AllColumns[] = {TColumn::GainDb, TColumn::PhaseDeg, TColumn::GroupDelayS, TColumn::ZinOhm,
                                  TColumn::ZinPhaseDeg};

std::vector<TColumn> ColumnList(const std::string &text)
{
    std::vector<TColumn> columns;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        const std::string name = text.substr(start, comma - start);
        bool known = false;
        for (TColumn column : AllColumns)
            if (name == ColumnName(column)) {
                columns.push_back(column);
                known = true;
            }
        if (!known)
            throw TUsageError{"--columns takes names from gain_db, phase_deg, group_delay_s, zin_ohm, "
                              "zin_phase_deg, not \"" + name + "\""};
        start = comma + 1;
    }
    return columns;
}

// "LABEL=N"; the label is looked up once the circuit is known.
std::pair<std::string, int> ControlSetting(const std::string &text)
{
    const std::size_t equals = text.rfind('=');
    if (equals == std::string::npos || equals == 0)
        throw TUsageError{"--control takes LABEL=N, not \"" + text + "\""};
    return {text.substr(0, equals), SliderValue("--control " + text.substr(0, equals), text.substr(equals + 1))};
}

// At least one sample, up to an hour like the longest file --render reads.
double DemoSeconds(const std::string &text)
{
    double seconds = 0;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), seconds);
    // Half a sample or more rounds to one sample.
    const bool oneSample = seconds * CorvantaDemoSampleRate >= 0.5;
    if (ec != std::errc() || ptr != text.data() + text.size() || !oneSample || seconds > 3600)
        throw TUsageError{"--render-demo takes a number of seconds from one sample (1/" +
                          std::to_string(CorvantaDemoSampleRate) + " s) up to 3600, not \"" + text + "\""};
    return seconds;
}

// "NAME=PCT"; the name is looked up once the circuit is known.
std::pair<std::string, double> ToleranceSetting(const std::string &text)
{
    const std::size_t equals = text.rfind('=');
    double percent = -1;
    if (equals != std::string::npos && equals > 0) {
        const auto [ptr, ec] = std::from_chars(text.data() + equals + 1, text.data() + text.size(), percent);
        if (ec != std::errc() || ptr != text.data() + text.size())
            percent = -1;
    }
    if (!(percent >= 0 && percent < 100))
        throw TUsageError{"--tol takes NAME=PCT with a percentage from 0 to below 100, not \"" + text + "\""};
    return {text.substr(0, equals), percent};
}

// "WxH" within the sizes the desktop program exports.
void ReadPictureSize(const std::string &text, TCliOptions &options)
{
    constexpr int smallest = 100, largest = 3000;
    int width = 0, height = 0;
    const char *end = text.data() + text.size();
    const auto [afterWidth, widthError] = std::from_chars(text.data(), end, width);
    bool good = widthError == std::errc() && afterWidth != end && (*afterWidth == 'x' || *afterWidth == 'X');
    if (good) {
        const auto [afterHeight, heightError] = std::from_chars(afterWidth + 1, end, height);
        good = heightError == std::errc() && afterHeight == end;
    }
    if (!good || width < smallest || width > largest || height < smallest || height > largest)
        throw TUsageError{"--png-size takes WIDTHxHEIGHT, each from 100 to 3000 pixels, not \"" + text + "\""};
    options.PictureWidth = width;
    options.PictureHeight = height;
}

} // namespace

const char *ColumnName(TColumn column)
{
    switch (column) {
    case TColumn::GainDb:
        return "gain_db";
    case TColumn::PhaseDeg:
        return "phase_deg";
    case TColumn::GroupDelayS:
        return "group_delay_s";
    case TColumn::ZinOhm:
        return "zin_ohm";
    case TColumn::ZinPhaseDeg:
        return "zin_phase_deg";
    }
    return "";
}

std::string UsageText()
{
    std::string pages;
    const TCatalogue catalogue;
    for (int page = 0; page < catalogue.Count(); ++page) {
        const std::string &caption = catalogue.Page(page).TabCaption;
        const bool quote = caption.find(' ') != std::string::npos;
        pages += std::string(page == 0 ? "" : page + 1 == catalogue.Count() ? " or " : ", ") + (quote ? "\"" : "") +
                 caption + (quote ? "\"" : "");
    }
    return "usage: corvanta-cli [FILE.cva | NETLIST] [--preset NAME] [--tab NAME]\n"
           "                    [--bass N] [--mid N] [--treble N] [--control LABEL=N]...\n"
           "                    [--set NAME=TEXT]... [--resolution low|medium|high]\n"
           "                    [--format csv|json] [--columns LIST] [--map LABEL]\n"
           "                    [--output PATH] [--save PATH] [--export-spice PATH]\n"
           "                    [--png PATH] [--svg PATH] [--png-size WxH]\n"
           "                    [--snap E12|E24|E96]\n"
           "                    [--tolerance | --sensitivity] [--runs N] [--seed S] [--tol NAME=PCT]...\n"
           "                    [--list-presets] [--help] [--version]\n"
           "       corvanta-cli [circuit options] (--render IN | --render-demo SECONDS)\n"
           "                    --output OUT.wav [--float]\n"
           "       corvanta-cli [circuit options] --live [--jack-name NAME] [--no-connect]\n"
           "\n"
           "Computes the live response of a tone stack, as the desktop program shows it,\n"
           "and prints it as 445 points from 10 Hz to 29.4 kHz.\n"
           "\n"
           "  FILE.cva            circuit file to load over the default circuits\n"
           "  NETLIST             a SPICE netlist (.cir, .net, .sp, .spice) with pots\n"
           "                      (PNAME LUG1 WIPER LUG3 VALUE [TAPER]\n"
           "                      [control=LABEL]): its page becomes the active one\n"
           "  --preset NAME       apply a preset of the library; its page becomes the active one\n"
           "  --tab NAME          the page, in any letter case: " + pages + "\n"
           "  --bass/--mid/--treble N   slider positions, 0 to 100 (--mid moves a\n"
           "                      netlist's control labelled Mid or Middle)\n"
           "  --control LABEL=N   the position of the page's control of that label, 0 to 100\n"
           "  --set NAME=TEXT     component value as in the circuit file, numbers may use\n"
           "                      engineering notation: FR1=56k, FR3=250k|0, SL1=6|0;\n"
           "                      a taper by name: linear, loga, logb, audio10, audio15,\n"
           "                      audio20, revaudio10, revaudio15, revaudio20; a value\n"
           "                      alone keeps a pot's taper or an inductor's resistance\n"
           "  --resolution R      low, medium (default) or high\n"
           "  --format F          csv (default) or json\n"
           "  --columns LIST      what to print besides the frequency, comma separated:\n"
           "                      gain_db (default; the live curve), phase_deg,\n"
           "                      group_delay_s, zin_ohm, zin_phase_deg (nodal analysis)\n"
           "  --map LABEL         a control's label (bass, mid, treble): print\n"
           "                      position,frequency_hz,gain_db for every position 0 to 100\n"
           "                      of that control (nodal analysis)\n"
           "  --output PATH       write the curve to PATH instead of standard output\n"
           "  --save PATH         save the resulting circuit file (a netlist: the netlist with its new values)\n"
           "  --export-spice PATH write the circuit as set as an ngspice deck that prints\n"
           "                      the same gain (ngspice -b PATH)\n"
           "  --png PATH          draw the plot of the curve, 407 x 417 pixels, into a PNG\n"
           "  --svg PATH          the same plot as an SVG picture\n"
           "  --snap SERIES       set each resistor and capacitor of the page to its nearest\n"
           "                      E12, E24 or E96 value (pots, inductors and the source stay)\n"
           "  --tolerance         print frequency_hz,gain_db,min_db,p5_db,median_db,p95_db,\n"
           "                      max_db: the curve and the range of --runs circuits whose\n"
           "                      parts are drawn within their tolerances\n"
           "  --runs N            runs of the band, 1 to 1000000 (default 1000)\n"
           "  --seed S            seed of the draws (default 20): the same seed, the same band\n"
           "  --tol NAME=PCT      tolerance in percent of a part (FR1), a kind (R, C, L, pot,\n"
           "                      source) or all; defaults R 5, C 10, L 10, pot 20, source 0\n"
           "  --sensitivity       print part,kind,tolerance_pct,frequency_hz,db_per_pct: the\n"
           "                      curve's change for +1% of each part where it is largest,\n"
           "                      largest first\n"
           "  --png-size WxH      the pictures' size in pixels, 100 to 3000 each (407x417)\n"
           "  --list-presets      print the presets as lines of page<TAB>name and stop\n"
           "  --render IN         filter the audio file IN (WAV, FLAC, OGG...) through the\n"
           "                      circuit at its own rate, mixed to mono, into --output\n"
           "  --render-demo S     the same with S seconds of the built-in guitar at 48 kHz\n"
           "  --float             write 32-bit float samples instead of 24-bit integers\n"
           "  --live              play the input port through the circuit to the output port\n"
           "                      of a JACK client until SIGINT, SIGTERM or a line \"quit\";\n"
           "                      each line \"LABEL N\" on standard input (\"bass 30\") moves\n"
           "                      that control to N\n"
           "  --jack-name NAME    the client's name (default corvanta)\n"
           "  --no-connect        leave the ports unconnected instead of connecting them to\n"
           "                      the first physical capture and playback ports\n"
           "\n"
           "Applied in this order: the file, --preset, --tab, the sliders, each --control,\n"
           "each --set, --snap.\n";
}

const char *UsageHint()
{
    return "Try 'corvanta-cli --help' for the options.\n";
}

TCliOptions ParseCommandLine(const std::vector<std::string> &arguments)
{
    TCliOptions options;
    bool columnsGiven = false;
    bool formatGiven = false;
    bool jackGiven = false;
    bool pictureSizeGiven = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string &argument = arguments[i];
        auto value = [&]() -> const std::string & {
            if (i + 1 >= arguments.size())
                throw TUsageError{argument + " needs a value"};
            return arguments[++i];
        };
        if (argument == "--help" || argument == "-h") {
            options.Help = true;
        } else if (argument == "--version") {
            options.Version = true;
        } else if (argument == "--list-presets") {
            options.ListPresets = true;
        } else if (argument == "--preset") {
            options.Preset = value();
        } else if (argument == "--tab") {
            options.Tab = value();
        } else if (argument == "--bass") {
            options.Bass = SliderValue(argument, value());
        } else if (argument == "--mid") {
            options.Mid = SliderValue(argument, value());
        } else if (argument == "--treble") {
            options.Treble = SliderValue(argument, value());
        } else if (argument == "--control") {
            options.Controls.push_back(ControlSetting(value()));
        } else if (argument == "--set") {
            const std::string &set = value();
            if (set.find('=') == std::string::npos || set.front() == '=')
                throw TUsageError{"--set takes NAME=TEXT, not \"" + set + "\""};
            options.Sets.push_back(set);
        } else if (argument == "--resolution") {
            const std::string &name = value();
            if (name == "low")
                options.ResolutionStep = ResolutionLow;
            else if (name == "medium")
                options.ResolutionStep = ResolutionMedium;
            else if (name == "high")
                options.ResolutionStep = ResolutionHigh;
            else
                throw TUsageError{"--resolution takes low, medium or high, not \"" + name + "\""};
        } else if (argument == "--format") {
            formatGiven = true;
            const std::string &name = value();
            if (name == "csv")
                options.Format = TOutputFormat::Csv;
            else if (name == "json")
                options.Format = TOutputFormat::Json;
            else
                throw TUsageError{"--format takes csv or json, not \"" + name + "\""};
        } else if (argument == "--columns") {
            options.Columns = ColumnList(value());
            columnsGiven = true;
        } else if (argument == "--map") {
            options.Map = value();
        } else if (argument == "--output") {
            options.OutputPath = value();
        } else if (argument == "--save") {
            options.SavePath = value();
        } else if (argument == "--export-spice") {
            options.ExportSpicePath = value();
        } else if (argument == "--png") {
            options.PngPath = value();
        } else if (argument == "--svg") {
            options.SvgPath = value();
        } else if (argument == "--png-size") {
            ReadPictureSize(value(), options);
            pictureSizeGiven = true;
        } else if (argument == "--render") {
            options.RenderInput = value();
        } else if (argument == "--render-demo") {
            options.RenderDemoSeconds = DemoSeconds(value());
        } else if (argument == "--snap") {
            const std::string &name = value();
            if (name != "E12" && name != "E24" && name != "E96")
                throw TUsageError{"--snap takes E12, E24 or E96, not \"" + name + "\""};
            options.Snap = name;
        } else if (argument == "--tolerance") {
            options.Tolerance = true;
        } else if (argument == "--sensitivity") {
            options.Sensitivity = true;
        } else if (argument == "--runs") {
            options.Runs = WholeNumber(argument, value(), 1, 1'000'000);
        } else if (argument == "--seed") {
            options.Seed = WholeNumber<std::uint64_t>(argument, value(), 0, std::numeric_limits<std::uint64_t>::max());
        } else if (argument == "--tol") {
            options.Tolerances.push_back(ToleranceSetting(value()));
        } else if (argument == "--float") {
            options.FloatWav = true;
        } else if (argument == "--live") {
            options.Live = true;
        } else if (argument == "--jack-name") {
            options.JackName = value();
            if (options.JackName.empty())
                throw TUsageError{"--jack-name needs a name"};
            jackGiven = true;
        } else if (argument == "--no-connect") {
            options.JackConnect = false;
            jackGiven = true;
        } else if (argument.size() > 1 && argument.front() == '-') {
            throw TUsageError{"unknown option " + argument};
        } else if (options.CircuitFile) {
            throw TUsageError{"only one circuit file can be given"};
        } else {
            options.CircuitFile = argument;
        }
    }
    if (options.Map && columnsGiven)
        throw TUsageError{"--columns and --map cannot be combined: a map prints gain_db"};
    if (options.Tolerance && options.Sensitivity)
        throw TUsageError{"--tolerance and --sensitivity cannot be combined"};
    if (options.Tolerance || options.Sensitivity) {
        if (formatGiven || columnsGiven || options.Map || options.Renders() || options.PngPath || options.SvgPath)
            throw TUsageError{"--tolerance and --sensitivity print CSV only: --format, --columns, --map, --png, "
                              "--svg and rendering do not apply"};
    } else if (options.Runs || options.Seed || !options.Tolerances.empty()) {
        throw TUsageError{"--runs, --seed and --tol apply only to --tolerance and --sensitivity"};
    }
    if (pictureSizeGiven && !options.PngPath && !options.SvgPath)
        throw TUsageError{"--png-size applies only to --png and --svg"};
    if (options.RenderInput && options.RenderDemoSeconds)
        throw TUsageError{"--render and --render-demo cannot be combined"};
    if (options.Renders()) {
        if (!options.OutputPath)
            throw TUsageError{"rendering needs --output OUT.wav"};
        if (options.PngPath || options.SvgPath || formatGiven || columnsGiven || options.Map)
            throw TUsageError{"rendering writes audio only: --format, --columns, --map, --png and --svg do not apply"};
    } else if (options.FloatWav) {
        throw TUsageError{"--float applies only to --render and --render-demo"};
    }
    if (options.Live) {
        if (options.Renders() || options.OutputPath || options.SavePath || options.PngPath || options.SvgPath ||
            formatGiven || columnsGiven || options.Map)
            throw TUsageError{"--live plays sound only: --render, --output, --save, --format, --columns, --map, "
                              "--png and --svg do not apply"};
    } else if (jackGiven) {
        throw TUsageError{"--jack-name and --no-connect apply only to --live"};
    }
    return options;
}

} // namespace cva::cli
