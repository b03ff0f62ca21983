// corvanta-cli end to end: runs the real binary and checks what it prints,
// writes and returns.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#include "FftAnalysis.h"
#include "AudioTestFiles.h"
#include "audio/AudioFile.h"
#include "audio/PluckedGuitar.h"
#include "document/CircuitFile.h"
#include "document/Netlist.h"
#include "models/NodalEngine.h"

#ifdef CORVANTA_CLI_PLOT
#include <QColor>
#include <QImage>
#include <QRectF>
#include <QSvgRenderer>
#endif

namespace fs = std::filesystem;
using namespace cva;

namespace {

struct RunResult {
    int ExitCode = -1;
    std::string Out;
    std::string Err;
};

std::string ReadFile(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string ShellQuoted(const std::string &text)
{
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::vector<std::string> Lines(const std::string &text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

class Cli : public ::testing::Test {
protected:
    void SetUp() override
    {
        Dir = fs::temp_directory_path() / ("corvanta-cli-test-" + std::to_string(::getpid()) + "-" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(Dir);
    }
    void TearDown() override { fs::remove_all(Dir); }

    // The tool with its arguments, optionally inside a shell command around
    // it: "(ulimit -f 8; TOOL)" or "TOOL | cat".
    RunResult Run(const std::vector<std::string> &arguments, const std::string &around = "TOOL")
    {
        std::string tool = ShellQuoted(CORVANTA_CLI);
        for (const std::string &argument : arguments)
            tool += " " + ShellQuoted(argument);
        std::string command = around;
        command.replace(command.find("TOOL"), 4, tool);
        const fs::path out = Dir / "stdout";
        const fs::path err = Dir / "stderr";
        command = "{ " + command + "; } >" + ShellQuoted(out.string()) + " 2>" + ShellQuoted(err.string()) + " </dev/null";
        const int status = std::system(command.c_str());
        RunResult result;
        result.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        result.Out = ReadFile(out);
        result.Err = ReadFile(err);
        return result;
    }

    // The tool's exit code and the peak of its resident memory, in KiB.
    std::pair<int, long> RunMeasuringMemory(const std::vector<std::string> &arguments)
    {
        std::vector<std::string> words{CORVANTA_CLI};
        words.insert(words.end(), arguments.begin(), arguments.end());
        std::vector<char *> argv;
        for (std::string &word : words)
            argv.push_back(word.data());
        argv.push_back(nullptr);
        const pid_t child = ::fork();
        if (child == 0) {
            const int quiet = ::open("/dev/null", O_WRONLY);
            ::dup2(quiet, STDOUT_FILENO);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        int status = 0;
        struct rusage usage {};
        ::wait4(child, &status, 0, &usage);
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, usage.ru_maxrss};
    }

    fs::path Write(const std::string &name, const std::string &text)
    {
        const fs::path path = Dir / name;
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    fs::path Dir;
};

} // namespace

TEST_F(Cli, CsvIsAHeaderAnd445RowsOfTheDefaultFenderCurve)
{
    const RunResult result = Run({});
    ASSERT_EQ(result.ExitCode, 0) << result.Err;
    const auto lines = Lines(result.Out);
    ASSERT_EQ(lines.size(), 446u);
    EXPECT_EQ(lines[0], "frequency_hz,gain_db");
    EXPECT_EQ(lines[1].substr(0, 3), "10,");
    EXPECT_NEAR(std::stod(lines[1].substr(3)), -12.68, 0.01);
    const std::string at1k = lines[1 + 256];
    EXPECT_EQ(at1k.substr(0, at1k.find(',')), "1000");
    EXPECT_NEAR(std::stod(at1k.substr(at1k.find(',') + 1)), -21.98, 0.01);
    EXPECT_TRUE(result.Err.empty());
}

TEST_F(Cli, JsonCarriesTheStateAndThePoints)
{
    const RunResult result =
        Run({"--tab", "Big muff", "--mid", "30", "--resolution", "high", "--format", "json"});
    ASSERT_EQ(result.ExitCode, 0) << result.Err;
    EXPECT_EQ(result.Out.rfind("{\"tab\":\"Big muff\",\"bass\":50,\"mid\":30,\"treble\":50,\"resolution\":\"high\","
                               "\"points\":[{\"frequency_hz\":10,\"gain_db\":-",
                               0),
              0u);
    // The points, then the live curve's markers: peak, notch, -3 dB points.
    const std::size_t markers = result.Out.find("}],\"markers\":{\"peak\":{\"frequency_hz\":");
    ASSERT_NE(markers, std::string::npos);
    std::size_t points = 0;
    for (std::size_t at = result.Out.find("frequency_hz"); at < markers; at = result.Out.find("frequency_hz", at + 1))
        ++points;
    EXPECT_EQ(points, 445u);
    EXPECT_NE(result.Out.find(",\"notch\":", markers), std::string::npos);
    EXPECT_NE(result.Out.find(",\"minus_3db\":[", markers), std::string::npos);
    EXPECT_EQ(result.Out.substr(result.Out.size() - 4), "]}}\n");
}

// A netlist's title and labels are the user's text: JSON escapes what it
// cannot hold as written, and a byte that is no UTF-8 becomes U+FFFD.
TEST_F(Cli, JsonHoldsAnyTitleAndLabel)
{
    const fs::path netlist = Write("odd.cir", "My \"amp\"\tf\xFCr \x01\xC3\xA9\nV1 in 0 AC 1\nR1 in out 1k\n"
                                              "P1 out w 0 10k control=a\\b\nC1 w 0 1n\n");
    const RunResult result = Run({netlist.string(), "--format", "json"});
    ASSERT_EQ(result.ExitCode, 0) << result.Err;
    EXPECT_EQ(result.Out.rfind("{\"tab\":\"My \\\"amp\\\"\\u0009f\\ufffdr \\u0001\xC3\xA9\",\"a\\\\b\":50,", 0), 0u)
        << result.Out.substr(0, 60);
}

// Engineering notation, and a value alone keeping a pot's taper or an
// inductor's DC resistance: each pair gives the same curve, not the default one.
TEST_F(Cli, SetAcceptsEngineeringNotationAndAValueAlone)
{
    const struct {
        std::vector<std::string> Short, Full;
    } cases[] = {
        {{"--set", "FR1=56k"}, {"--set", "FR1=56000"}},
        {{"--set", "FR2=100k"}, {"--set", "FR2=100k|1"}},
        {{"--tab", "Bench", "--set", "SL1=3"}, {"--tab", "Bench", "--set", "SL1=3|600"}},
    };
    for (const auto &c : cases) {
        const RunResult shortForm = Run(c.Short), full = Run(c.Full);
        ASSERT_EQ(shortForm.ExitCode, 0) << shortForm.Err;
        EXPECT_EQ(shortForm.Out, full.Out) << c.Short.back();
        EXPECT_NE(shortForm.Out, Run({c.Short.begin(), c.Short.end() - 2}).Out) << c.Short.back();
    }
}

TEST_F(Cli, SaveThenLoadGivesTheSameCircuitAndCurve)
{
    const fs::path saved = Dir / "amp.cva";
    const RunResult first = Run({"--tab", "Bench", "--bass", "10", "--treble", "90", "--set", "SL1=6|0", "--set",
                                 "SR1=250k|0", "--save", saved.string()});
    ASSERT_EQ(first.ExitCode, 0) << first.Err;
    const std::string file = ReadFile(saved);
    EXPECT_EQ(file.rfind("Tab=Bench\r\nPos1=10\r\nPos2=50\r\nPos3=90\r\n", 0), 0u);
    EXPECT_NE(file.find("\r\nSL1=6|0\r\n"), std::string::npos);
    EXPECT_NE(file.find("\r\nSR1=250000|0\r\n"), std::string::npos);

    const RunResult second = Run({saved.string()});
    ASSERT_EQ(second.ExitCode, 0) << second.Err;
    EXPECT_EQ(second.Out, first.Out);
}

TEST_F(Cli, AFailedOutputFileLeavesNoSavedCircuitBehind)
{
    const fs::path out = Dir / "missing" / "curve.csv";
    const fs::path saved = Dir / "amp.cva";
    const RunResult result = Run({"--output", out.string(), "--save", saved.string()});
    EXPECT_EQ(result.ExitCode, 1);
    EXPECT_TRUE(result.Out.empty());
    EXPECT_EQ(result.Err,
              "corvanta-cli: Cannot create file \"" + out.string() + "\". No such file or directory\n");
    EXPECT_FALSE(fs::exists(saved));
}

// Every output is checked before any is written: one that fails leaves the
// others unwritten, and no temporary file behind.
TEST_F(Cli, OutputsAreAllOrNothing)
{
    const std::string missing = (Dir / "missing" / "x").string();
    auto at = [this](const char *name) { return (Dir / name).string(); };
    std::vector<std::vector<std::string>> cases = {
        {"--output", at("a.csv"), "--save", missing},
        {"--save", at("a.cva"), "--output", missing},
        {"--render-demo", "0.01", "--output", at("a.wav"), "--save", missing},
    };
#ifdef CORVANTA_CLI_PLOT
    cases.push_back({"--png", at("a.png"), "--svg", missing});
    cases.push_back({"--svg", at("a.svg"), "--output", at("a.csv"), "--png", missing});
#endif
    for (const std::vector<std::string> &arguments : cases) {
        const RunResult result = Run(arguments);
        EXPECT_EQ(result.ExitCode, 1) << arguments[1];
        EXPECT_EQ(result.Err, "corvanta-cli: Cannot create file \"" + missing + "\". No such file or directory\n");
        std::vector<std::string> left;
        for (const auto &entry : fs::directory_iterator(Dir))
            left.push_back(entry.path().filename().string());
        std::sort(left.begin(), left.end());
        EXPECT_EQ(left, (std::vector<std::string>{"stderr", "stdout"})) << arguments[1];
    }
}

// Circuit files are the user's work and are flushed to disk with their
// folder; computed results can be made again and are only replaced
// atomically, as the two flushes cost more than computing a curve.
TEST_F(Cli, OnlyCircuitFilesAreFlushedToDisk)
{
    if (std::system("strace -o /dev/null true >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "strace cannot trace here";
    auto at = [this](const char *name) { return (Dir / name).string(); };
    // (Pictures are left out: the font library may flush its own cache.)
    const std::pair<std::vector<std::string>, std::size_t> cases[] = {
        {{"--output", at("a.csv")}, 0},
        {{"--render-demo", "0.01", "--output", at("a.wav")}, 0},
        {{"--save", at("a.cva")}, 2},
    };
    const fs::path trace = Dir / "trace";
    for (const auto &[arguments, flushes] : cases) {
        const RunResult result =
            // (A sanitized build's leak check cannot run under a tracer.)
            Run(arguments, "ASAN_OPTIONS=detect_leaks=0 strace -f -qq -e trace=fsync,fdatasync,syncfs -o " +
                               ShellQuoted(trace.string()) + " TOOL");
        ASSERT_EQ(result.ExitCode, 0) << result.Err;
        EXPECT_EQ(Lines(ReadFile(trace)).size(), flushes) << arguments[0] << "\n" << ReadFile(trace);
    }
}

// Without /proc the tool cannot know its own folder; it refuses to render
// rather than load a module from the working folder, where anybody may have
// put one.
TEST_F(Cli, ModulesAreLoadedOnlyFromBesideTheProgram)
{
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "AddressSanitizer itself needs /proc";
#endif
    if (std::system("unshare --mount --propagation private true >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "cannot hide /proc without a mount namespace of its own";
    // Planted where a lookup relative to the working folder would find it.
    const fs::path work = Dir / "work";
    fs::create_directories(work);
    fs::create_directories(Dir / "lib" / "corvanta");
    const fs::path module = fs::path(CORVANTA_CLI).parent_path() / "corvanta-cli-render.so";
    fs::copy_file(module, work / "corvanta-cli-render.so");
    fs::copy_file(module, Dir / "lib" / "corvanta" / "corvanta-cli-render.so");
    const RunResult result =
        Run({"--render-demo", "0.01", "--output", (work / "out.wav").string()},
            "cd " + ShellQuoted(work.string()) +
                " && unshare --mount --propagation private sh -c 'umount -l /proc && exec \"$0\" \"$@\"' TOOL");
    EXPECT_EQ(result.ExitCode, 1);
    EXPECT_EQ(result.Err, "corvanta-cli: Cannot render audio: the folder of corvanta-cli cannot be known "
                          "(/proc/self/exe cannot be read), and the module corvanta-cli-render.so is loaded from "
                          "there only\n");
    EXPECT_FALSE(fs::exists(work / "out.wav"));
}

// A slip of the command line loses no file: an output into the netlist read,
// or two outputs into one file, is refused before anything is written.
TEST_F(Cli, AnOutputNeverReplacesTheFileReadNorAnotherOutput)
{
    const std::string text = "Tilt\nV1 in 0 AC 1\nR1 in out 10k\nP1 out w 0 100k\nC1 w 0 10n\n";
    const fs::path netlist = Write("tilt.cir", text);
    const std::string other = (Dir / "x").string(), sameNetlist = (Dir / "." / "tilt.cir").string();
    const std::vector<std::string> cases[] = {
        {netlist.string(), "--export-spice", netlist.string()},
        {netlist.string(), "--output", sameNetlist},
        {netlist.string(), "--output", other, "--export-spice", other},
    };
    for (const std::vector<std::string> &arguments : cases) {
        const RunResult result = Run(arguments);
        EXPECT_EQ(result.ExitCode, 2) << arguments[1];
        EXPECT_EQ(ReadFile(netlist), text) << arguments[1];
        EXPECT_FALSE(fs::exists(other)) << arguments[1];
    }
    EXPECT_EQ(Run({netlist.string(), "--control", "P1=20", "--save", netlist.string()}).ExitCode, 0);
}

TEST_F(Cli, OutputOptionWritesTheCurveToAFile)
{
    const fs::path out = Dir / "curve.csv";
    const RunResult result = Run({"--output", out.string()});
    ASSERT_EQ(result.ExitCode, 0) << result.Err;
    EXPECT_TRUE(result.Out.empty());
    EXPECT_EQ(ReadFile(out), Run({}).Out);
}

TEST_F(Cli, VersionAndHelp)
{
    const RunResult version = Run({"--version"});
    EXPECT_EQ(version.ExitCode, 0);
    EXPECT_EQ(version.Out, "corvanta-cli 1.3.0.41\n");
    const RunResult help = Run({"--help"});
    EXPECT_EQ(help.ExitCode, 0);
    EXPECT_EQ(help.Out.rfind("usage: corvanta-cli", 0), 0u);
}

TEST_F(Cli, UsageProblemsExitTwoWithTheReasonAPointerToHelpAndNothingOnStdout)
{
    for (const std::vector<std::string> &arguments :
         {std::vector<std::string>{"--bass", "101"}, {"--mid", "x"}, {"--treble"}, {"--resolution", "ultra"},
          {"--format", "xml"}, {"--frobnicate"}, {"a.cva", "b.cva"}, {"--set", "FR1"}, {"--tab", "fendr"},
          {"--preset", "no such amp"}, {"--preset"}, {"--png-size", "800x600"}, {"--svg", "a", "--png-size", "99x600"},
          {"--png", "a", "--png-size", "800"}, {"--png", "a", "--png-size", "800x600x2"}}) {
        const RunResult result = Run(arguments);
        EXPECT_EQ(result.ExitCode, 2) << arguments[0];
        EXPECT_TRUE(result.Out.empty()) << arguments[0];
        EXPECT_EQ(Lines(result.Err).size(), 2u) << result.Err;
        EXPECT_EQ(result.Err.rfind("corvanta-cli: ", 0), 0u) << result.Err;
        EXPECT_NE(result.Err.find("--help"), std::string::npos) << result.Err;
    }
}

TEST_F(Cli, PageNamesAreTakenInAnyCaseAndPartsOfOtherPagesAreWarnedOf)
{
    EXPECT_EQ(Run({"--tab", "big MUFF"}).Out, Run({"--tab", "Big muff"}).Out);
    const RunResult otherPage = Run({"--tab", "bench", "--set", "BR4=1"});
    EXPECT_EQ(otherPage.ExitCode, 0);
    EXPECT_EQ(otherPage.Out, Run({"--tab", "Bench"}).Out);
    EXPECT_EQ(otherPage.Err, "corvanta-cli: warning: --set BR4 changes R4 on the James page, not a part of the "
                             "active Bench page\n");
    EXPECT_TRUE(Run({"--tab", "Bench", "--set", "SR4=1k"}).Err.empty());
}

TEST_F(Cli, PresetsAreListedAndApplyAfterTheFileAndBeforeTabAndSet)
{
    const RunResult list = Run({"--list-presets"});
    EXPECT_EQ(list.ExitCode, 0);
    EXPECT_TRUE(list.Err.empty()) << list.Err;
    const std::vector<std::string> lines = Lines(list.Out);
    EXPECT_GE(lines.size(), 24u);
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Marshall\tJCM800 2203"), lines.end());

    // The file sets the Vox page and FR1; the preset then moves to its page
    // and sets MR1; --set and --tab come last.
    const fs::path file = Write("start.cva", "Tab=Vox\r\nFR1=5000\r\nMR3=1000|0\r\n");
    const fs::path saved = Dir / "saved.cva";
    EXPECT_EQ(Run({file.string(), "--preset", "jcm800 2203", "--save", saved.string()}).ExitCode, 0);
    std::string text = ReadFile(saved);
    for (const char *line : {"Tab=Marshall\r\n", "FR1=5000\r\n", "MR1=33000\r\n", "MR3=1000000|2\r\n"})
        EXPECT_NE(text.find(line), std::string::npos) << line;
    EXPECT_EQ(Run({"--preset", "JCM800 2203", "--tab", "Fender", "--set", "MR1=1k", "--save", saved.string()}).ExitCode, 0);
    text = ReadFile(saved);
    for (const char *line : {"Tab=Fender\r\n", "MR1=1000\r\n", "MC1=4.7E-10\r\n"})
        EXPECT_NE(text.find(line), std::string::npos) << line;
}

TEST_F(Cli, FailuresExitOneWithTheProgramsMessageAndNothingOnStdout)
{
    const fs::path bad = Write("bad.cva", "Tab=Vox\r\nFR1=100k\r\n");
    const fs::path missing = Dir / "missing.cva";
    const fs::path saveIntoMissingDir = Dir / "no-such-dir" / "x.cva";
    const fs::path netlist = Write("tilt.cir", "Tilt\nV1 in 0 AC 1\nR1 in out 10k\nC1 out 0 10n\n");
    const std::string cvaName = (Dir / "tilt.cva").string(), cirName = (Dir / "amp.cir").string();
    const std::string FenderNames = "FC1, FC2, FC3, FG, FR1, FR2, FR3, FR4, FR5\n";
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--set", "FR1=10K"}, "corvanta-cli: Unable to convert \"10K\"\n"},
        {{"--set", "FC1=0"}, "corvanta-cli: C1 on the Fender page is 0 F: a capacitance of zero leaves no finite gain\n"},
        {{"--set", "FR9=1"}, "corvanta-cli: --set: there is no component FR9; the Fender page has " + FenderNames},
        {{"--set", "R1=56k"}, "corvanta-cli: --set: there is no component R1; the Fender page has " + FenderNames},
        {{"--set", "FR2=250k|256"}, "corvanta-cli: '256' is not a taper number from 0 to 255\n"},
        {{bad.string()}, "corvanta-cli: bad.cva, line 2 (FR1): '100k' is not a valid floating point value\n"},
        {{missing.string()},
         "corvanta-cli: Cannot open file \"" + missing.string() + "\". No such file or directory\n"},
        {{"--save", saveIntoMissingDir.string()},
         "corvanta-cli: Cannot create file \"" + saveIntoMissingDir.string() + "\". No such file or directory\n"},
        {{netlist.string(), "--save", cvaName},
         "corvanta-cli: \"" + cvaName + "\" would open as a circuit file, not as this netlist: a netlist is saved as "
         ".cir, .net, .sp or .spice\n"},
        {{"--save", cirName},
         "corvanta-cli: \"" + cirName + "\" would open as a netlist, not as this circuit file: a circuit file is saved "
         "as .cva\n"},
    };
    for (const auto &[arguments, message] : cases) {
        const RunResult result = Run(arguments);
        EXPECT_EQ(result.ExitCode, 1) << arguments[0];
        EXPECT_TRUE(result.Out.empty()) << arguments[0];
        EXPECT_EQ(result.Err, message);
    }
}

// As in the desktop program, a "Tab" that names no page leaves the page as
// it was; the tool says so.
TEST_F(Cli, ATabThatNamesNoPageIsWarnedOfAndKeepsThePage)
{
    const std::string fender = Run({"--bass", "5"}).Out;
    const std::pair<std::string, std::string> cases[] = {
        {"Tab=vox", "\"vox\" names no page (captions are matched exactly: \"Vox\"?); the page stays as it was"},
        {"tab=Tweed", "\"Tweed\" names no page (Fender, Vox, "},
    };
    for (const auto &[line, warning] : cases) {
        const RunResult result = Run({Write("odd.cva", line + "\r\nPos1=5\r\n").string()});
        EXPECT_EQ(result.ExitCode, 0) << line;
        EXPECT_EQ(result.Out, fender) << line;
        EXPECT_EQ(result.Err.rfind("corvanta-cli: warning: odd.cva, line 1 (" + line.substr(0, 3) + "): " + warning, 0), 0u)
            << result.Err;
    }
}

TEST_F(Cli, SpecialOutputTargetsAreWrittenInPlaceAndFailuresLeaveNothing)
{
    const std::string curve = Run({}).Out;
    // Standard output named as a file, redirected to a file or to a pipe.
    for (const char *around : {"TOOL", "TOOL | cat"}) {
        const RunResult result = Run({"--output", "/dev/stdout"}, around);
        EXPECT_EQ(result.ExitCode, 0) << around << ": " << result.Err;
        EXPECT_EQ(result.Out, curve) << around;
    }
    EXPECT_TRUE(fs::is_regular_file(Dir / "stdout"));

    const fs::path fifo = Dir / "curve.fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    EXPECT_EQ(Run({"--output", fifo.string()}).ExitCode, 0);
    std::string received(100000, '\0');
    received.resize(std::size_t(std::max<ssize_t>(0, ::read(reader, received.data(), received.size()))));
    ::close(reader);
    EXPECT_EQ(received, curve);
    EXPECT_TRUE(fs::is_fifo(fifo));

    // A file size limit: the reason, and no temporary file beside the target.
    const fs::path out = Dir / "limited" / "out.csv";
    fs::create_directories(out.parent_path());
    const RunResult limited = Run({"--output", out.string()}, "(ulimit -f 8; TOOL)");
    EXPECT_EQ(limited.ExitCode, 1);
    EXPECT_EQ(limited.Err, "corvanta-cli: Cannot create file \"" + out.string() + "\". File too large\n");
    EXPECT_TRUE(fs::is_empty(out.parent_path()));
    const RunResult printed = Run({}, "(ulimit -f 8; TOOL)");
    EXPECT_EQ(printed.ExitCode, 1);
    EXPECT_EQ(printed.Err, "corvanta-cli: Cannot write the curve to standard output. File too large\n");
}

TEST_F(Cli, InputIsBoundedAndMustBeACircuitFile)
{
    const std::string vox = Run({"--tab", "Vox"}).Out;
    EXPECT_EQ(Run({Write("bom.cva", "\xEF\xBB\xBFTab=Vox\r\n").string()}).Out, vox);

    const fs::path huge = Write("huge.cva", "Tab=Vox\r\n");
    fs::resize_file(huge, 20 * 1024 * 1024);
    const fs::path fifo = Dir / "waiting.cva";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const fs::path empty = Write("empty.cva", "");
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"/dev/zero", "too large (more than 16777216 bytes; a circuit file is a few kilobytes)"},
        {huge.string(), "too large (20971520 bytes; a circuit file is a few kilobytes)"},
        {fifo.string(), "not a circuit file"},
        {empty.string(), "not a circuit file"},
        {Write("notes.cva", "Tab=Tweed\nHello=1\n").string(), "not a circuit file"},
    };
    for (const auto &[path, reason] : cases) {
        const RunResult result = Run({path});
        EXPECT_EQ(result.ExitCode, 1) << path;
        EXPECT_TRUE(result.Out.empty()) << path;
        EXPECT_EQ(result.Err, "corvanta-cli: Cannot open file \"" + path + "\". " + reason + "\n");
    }

    // What a message quotes of a value: visible and short.
    using namespace std::string_literals;
    const RunResult nul = Run({Write("nul.cva", "Tab=Vox\r\nFR1=12\0x\r\n"s).string()});
    EXPECT_EQ(nul.Err, "corvanta-cli: nul.cva, line 2 (FR1): '12\\0x' is not a valid floating point value\n");
    const RunResult longNumber = Run({Write("long.cva", "FR1=" + std::string(10'000'000, '1') + "x").string()});
    EXPECT_EQ(longNumber.Err, "corvanta-cli: long.cva, line 1 (FR1): '" + std::string(60, '1') +
                                  "...' is not a valid floating point value\n");
}

TEST_F(Cli, AnUnknownTaperIsWarnedOfOnceAndWorksAsLinear)
{
    const RunResult unknown = Run({"--set", "FR2=250k|255", "--save", (Dir / "amp.cva").string()});
    ASSERT_EQ(unknown.ExitCode, 0) << unknown.Err;
    EXPECT_EQ(unknown.Err, "corvanta-cli: warning: FR2 has taper number 255, which is none of the known laws 0 "
                           "to 8; it works as Linear\n");
    EXPECT_EQ(unknown.Out, Run({"--set", "FR2=250k|0"}).Out);
    EXPECT_NE(ReadFile(Dir / "amp.cva").find("\r\nFR2=250000|255\r\n"), std::string::npos);
    const RunResult reloaded = Run({(Dir / "amp.cva").string()});
    EXPECT_EQ(reloaded.Err, unknown.Err);
    EXPECT_EQ(reloaded.Out, unknown.Out);
}

#ifdef CORVANTA_CLI_PLOT

TEST_F(Cli, PngAndSvgDrawThePlotOfTheCurveBesidesPrintingIt)
{
    const fs::path png = Dir / "plot.png";
    const fs::path svg = Dir / "plot.svg";
    // Pictures need neither a display nor a platform chosen by the caller.
    ::unsetenv("QT_QPA_PLATFORM");
    ::unsetenv("DISPLAY");
    ::unsetenv("WAYLAND_DISPLAY");
    const RunResult result = Run({"--png", png.string(), "--svg", svg.string()});
    ASSERT_EQ(result.ExitCode, 0) << result.Err;
    EXPECT_EQ(result.Out, Run({}).Out);
    EXPECT_TRUE(result.Err.empty()) << result.Err;

    const QImage image(QString::fromStdString(png.string()));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.width(), 407);
    EXPECT_EQ(image.height(), 417);
    // The default Fender curve is about -22 dB at 1 kHz, drawn in lime on the
    // fixed scale: it crosses the 1 kHz column between -20 and -25 dB.
    int lime = 0;
    for (int y = 8 + 385 * 20 / 50; y <= 8 + 385 * 25 / 50; ++y)
        lime += image.pixelColor(246, y) == QColor(0, 255, 0);
    EXPECT_GT(lime, 0);

    // An optional XML declaration, then the <svg element.
    std::string picture = ReadFile(svg);
    if (picture.rfind("<?xml", 0) == 0)
        picture.erase(0, picture.find("?>") + 2);
    picture.erase(0, picture.find_first_not_of(" \t\r\n"));
    EXPECT_EQ(picture.rfind("<svg", 0), 0u) << picture.substr(0, 80);
    EXPECT_NE(picture.find("</svg>"), std::string::npos);
}

TEST_F(Cli, PicturesGoWithOutputAndSave)
{
    const fs::path out = Dir / "curve.json";
    const fs::path saved = Dir / "amp.cva";
    const RunResult result = Run({"--tab", "Vox", "--format", "json", "--png", (Dir / "p.png").string(), "--output",
                                  out.string(), "--save", saved.string()});
    ASSERT_EQ(result.ExitCode, 0) << result.Err;
    EXPECT_TRUE(result.Out.empty());
    EXPECT_EQ(ReadFile(out).rfind("{\"tab\":\"Vox\"", 0), 0u);
    EXPECT_EQ(ReadFile(saved).rfind("Tab=Vox\r\n", 0), 0u);
}

TEST_F(Cli, AnUnwritablePictureExitsOneWithTheReason)
{
    const fs::path missing = Dir / "no-such-dir" / "plot.png";
    const RunResult failed = Run({"--png", missing.string()});
    EXPECT_EQ(failed.ExitCode, 1);
    EXPECT_TRUE(failed.Out.empty());
    EXPECT_EQ(failed.Err.rfind("corvanta-cli: Cannot create file \"" + missing.string() + "\".", 0), 0u)
        << failed.Err;

    // A directory in the way is not replaced by a file.
    fs::create_directories(Dir / "taken.svg");
    const RunResult second = Run({"--svg", (Dir / "taken.svg").string()});
    EXPECT_EQ(second.ExitCode, 1);
    EXPECT_TRUE(second.Out.empty());
    EXPECT_EQ(second.Err.rfind("corvanta-cli: Cannot create file", 0), 0u) << second.Err;
    EXPECT_TRUE(fs::is_directory(Dir / "taken.svg"));
}

TEST_F(Cli, PicturesHaveExactlyTheSizeAskedFor)
{
    const fs::path png = Dir / "big.png";
    const fs::path svg = Dir / "big.svg";
    const struct {
        int Width, Height;
    } sizes[] = {{1200, 900}, {3000, 2250}, {100, 3000}};
    for (const auto &size : sizes) {
        const std::string text = std::to_string(size.Width) + "x" + std::to_string(size.Height);
        ASSERT_EQ(Run({"--png", png.string(), "--svg", svg.string(), "--png-size", text}).ExitCode, 0) << text;
        const QImage image(QString::fromStdString(png.string()));
        EXPECT_EQ(image.size(), QSize(size.Width, size.Height)) << text;
        const QRectF box = QSvgRenderer(QString::fromStdString(svg.string())).viewBoxF();
        EXPECT_NEAR(box.width() / box.height(), double(size.Width) / size.Height, 1e-3) << text;
    }
    // Lines grow with the picture: the live curve crosses the 1 kHz column in
    // a run of several lime-tinted pixels, not one.
    ASSERT_EQ(Run({"--png", png.string(), "--png-size", "3000x2250"}).ExitCode, 0);
    const QImage image(QString::fromStdString(png.string()));
    const int column = 246 * 3000 / 407;
    int tinted = 0;
    for (int y = 0; y < image.height(); ++y) {
        const QColor pixel = image.pixelColor(column, y);
        tinted += pixel.green() > 100 && pixel.red() < 60 && pixel.blue() < 60;
    }
    EXPECT_GE(tinted, 5);
}

#else

TEST_F(Cli, PicturesAreAUsageErrorWithoutThePlot)
{
    for (const char *option : {"--png", "--svg"}) {
        const RunResult result = Run({option, (Dir / "plot").string()});
        EXPECT_EQ(result.ExitCode, 2) << option;
        EXPECT_TRUE(result.Out.empty()) << option;
        EXPECT_NE(result.Err.find("built without Qt"), std::string::npos) << option;
        EXPECT_FALSE(fs::exists(Dir / "plot")) << option;
    }
}

#endif

// Engine columns beside the live gain, in CSV and JSON; the gain column
// stays the live curve's.
TEST_F(Cli, ColumnsAddTheEngineQuantities)
{
    const RunResult plain = Run({"--tab", "Bench"});
    const RunResult all = Run({"--tab", "Bench", "--columns", "gain_db,phase_deg,group_delay_s,zin_ohm,zin_phase_deg"});
    ASSERT_EQ(all.ExitCode, 0) << all.Err;
    const std::vector<std::string> rows = Lines(all.Out), plainRows = Lines(plain.Out);
    ASSERT_EQ(rows.size(), 446u);
    EXPECT_EQ(rows[0], "frequency_hz,gain_db,phase_deg,group_delay_s,zin_ohm,zin_phase_deg");
    for (std::size_t i = 1; i < rows.size(); ++i) {
        ASSERT_EQ(std::count(rows[i].begin(), rows[i].end(), ','), 5) << rows[i];
        EXPECT_EQ(rows[i].rfind(plainRows[i] + ",", 0), 0u) << rows[i] << " against " << plainRows[i];
    }
    const RunResult json = Run({"--format", "json", "--columns", "zin_ohm,phase_deg"});
    ASSERT_EQ(json.ExitCode, 0) << json.Err;
    EXPECT_NE(json.Out.find("{\"frequency_hz\":10,\"zin_ohm\":"), std::string::npos) << json.Out.substr(0, 200);
    EXPECT_EQ(json.Out.find("gain_db"), std::string::npos);
}

// 101 positions x 445 frequencies, positions in order, each block the curve
// at that position.
TEST_F(Cli, MapPrintsEveryPositionOfTheSlider)
{
    const RunResult map = Run({"--tab", "Marshall", "--map", "treble", "--resolution", "low"});
    ASSERT_EQ(map.ExitCode, 0) << map.Err;
    const std::vector<std::string> rows = Lines(map.Out);
    ASSERT_EQ(rows.size(), 1u + 101u * 445u);
    EXPECT_EQ(rows[0], "position,frequency_hz,gain_db");
    EXPECT_EQ(rows[1].rfind("0,10,", 0), 0u);
    EXPECT_EQ(rows.back().rfind("100,", 0), 0u);
    const RunResult at30 = Run({"--tab", "Marshall", "--treble", "30", "--resolution", "low"});
    const std::vector<std::string> curve = Lines(at30.Out);
    for (int k = 1; k <= 445; k += 37) {
        const std::string gain = curve[k].substr(curve[k].find(',') + 1);
        const std::string mapped = rows[30 * 445 + k].substr(rows[30 * 445 + k].rfind(',') + 1);
        EXPECT_NEAR(std::stod(mapped), std::stod(gain), 1e-6) << k;
    }
    EXPECT_EQ(Run({"--tab", "Vox", "--map", "mid"}).ExitCode, 1);
    EXPECT_EQ(Run({"--map", "volume"}).ExitCode, 2);
    EXPECT_EQ(Run({"--map", "bass", "--columns", "gain_db"}).ExitCode, 2);
    EXPECT_EQ(Run({"--columns", "gain_db,loudness"}).ExitCode, 2);
}

// Values the loop model cannot compute accurately: the curve is printed as
// always, with a warning naming the deviation.
TEST_F(Cli, WarnsWhereTheModelDrifts)
{
    const RunResult normal = Run({"--tab", "Bench"});
    EXPECT_EQ(normal.Err, "");
    const RunResult drifting = Run({"--tab", "Bench", "--set", "SR5=1e12"});
    EXPECT_EQ(drifting.ExitCode, 0);
    EXPECT_EQ(Lines(drifting.Out).size(), 446u);
    EXPECT_NE(drifting.Err.find("warning: The values are outside the range the model computes accurately"),
              std::string::npos)
        << drifting.Err;
}

// Rendering audio through the circuit: the demo guitar rendered at Bass 0
// and at Bass 100 differs band by band as the engine's two curves say,
// predicted from the dry guitar's own spectrum.
TEST_F(Cli, RenderedSpectraDifferAsTheCurvesSay)
{
    constexpr double Seconds = 3;
    std::array<std::vector<float>, 2> rendered;
    std::array<TNetlist, 2> netlists;
    for (const int bass : {0, 100}) {
        const fs::path wav = Dir / ("bass" + std::to_string(bass) + ".wav");
        const RunResult result = Run({"--render-demo", "3", "--bass", std::to_string(bass), "--output", wav.string()});
        ASSERT_EQ(result.ExitCode, 0) << result.Err;
        EXPECT_TRUE(result.Out.empty());
        const test::TRecording audio = test::ReadWholeAudioFile(wav);
        ASSERT_EQ(audio.SampleRate, 48000);
        ASSERT_EQ(audio.Samples.size(), std::size_t(Seconds * 48000));
        rendered[bass / 100] = audio.Samples;
        TCircuit circuit;
        circuit.SetPosition(BuiltInControl::Bass, bass);
        netlists[bass / 100] = BuildNetlist(circuit);
    }
    std::vector<float> dry(rendered[0].size());
    TPluckedGuitar(48000).Render(dry);
    const auto drySpectrum = test::Fft(dry);
    const auto low = test::Fft(rendered[0]);
    const auto high = test::Fft(rendered[1]);
    TNodalEngine lowEngine(netlists[0]);
    TNodalEngine highEngine(netlists[1]);
    const double binHz = 48000.0 / double(drySpectrum.size());
    for (double band = 62.5; band < 10000; band *= 2) {
        double measuredLow = 0, measuredHigh = 0, predictedLow = 0, predictedHigh = 0;
        for (auto k = std::size_t(band / binHz); k * binHz < 2 * band; ++k) {
            measuredLow += std::norm(low[k]);
            measuredHigh += std::norm(high[k]);
            predictedLow += std::norm(drySpectrum[k] * lowEngine.Output(k * binHz));
            predictedHigh += std::norm(drySpectrum[k] * highEngine.Output(k * binHz));
        }
        const double measured = 10 * std::log10(measuredHigh / measuredLow);
        const double predicted = 10 * std::log10(predictedHigh / predictedLow);
        EXPECT_NEAR(measured, predicted, 0.05) << "octave from " << band << " Hz";
    }
}

TEST_F(Cli, RenderFailuresAndMisuseFollowTheContract)
{
    const fs::path wav = Dir / "out.wav";
    const RunResult missing = Run({"--render", (Dir / "missing.flac").string(), "--output", wav.string()});
    EXPECT_EQ(missing.ExitCode, 1);
    EXPECT_NE(missing.Err.find("Cannot read audio file \"" + (Dir / "missing.flac").string() + "\""),
              std::string::npos)
        << missing.Err;
    EXPECT_FALSE(fs::exists(wav));

    for (const std::vector<std::string> &misuse :
         {std::vector<std::string>{"--render-demo", "2"}, {"--render-demo", "0", "--output", wav.string()},
          {"--render-demo", "2", "--render", "in.wav", "--output", wav.string()},
          {"--render-demo", "2", "--output", wav.string(), "--format", "json"},
          {"--render-demo", "2", "--output", wav.string(), "--map", "bass"}, {"--float"},
          // Less than half a sample at 48 kHz: no sample at all.
          {"--render-demo", "1e-9", "--output", wav.string()},
          {"--render-demo", "0.00001", "--output", wav.string()}}) {
        const RunResult result = Run(misuse);
        EXPECT_EQ(result.ExitCode, 2) << misuse.front() << " " << misuse.back();
        EXPECT_FALSE(fs::exists(wav));
    }

    // A float file at 44.1 kHz comes back at its own rate and length.
    std::size_t clipped = 0;
    std::vector<float> tone(4410, 0.25f);
    test::WriteWholeWavFile(Dir / "in.wav", tone, 44100, TWavEncoding::Float32, clipped);
    const RunResult rendered = Run({"--render", (Dir / "in.wav").string(), "--output", wav.string(), "--float"});
    ASSERT_EQ(rendered.ExitCode, 0) << rendered.Err;
    const test::TRecording back = test::ReadWholeAudioFile(wav);
    EXPECT_EQ(back.SampleRate, 44100);
    EXPECT_EQ(back.Samples.size(), tone.size());
}

// A circuit that is not passive gets no phase, impedance, map or sound, and
// says why; its live curve is printed with the same words as a warning.
TEST_F(Cli, NonPassiveCircuitsGetNothingFromTheEngine)
{
    const std::string refusal = "FR1 on the Fender page is -100 k\u03a9: the circuit is not passive, so phase, "
                                "impedance, maps and sound are not computed\n";
    const fs::path wav = Dir / "o.wav";
    for (const std::vector<std::string> &engine :
         {std::vector<std::string>{"--set", "FR1=-100k", "--columns", "gain_db,zin_phase_deg"},
          {"--set", "FR1=-100k", "--map", "bass"},
          {"--set", "FR1=-100k", "--render-demo", "1", "--output", wav.string(), "--float"},
          {"--set", "FR2=-250k|1", "--render-demo", "1", "--output", wav.string()}}) {
        const RunResult result = Run(engine);
        EXPECT_EQ(result.ExitCode, 1) << engine[1] << " " << engine[2];
        // Said once, as the reason of the failure.
        EXPECT_EQ(result.Err.rfind("corvanta-cli: F", 0), 0u) << result.Err;
        EXPECT_NE(result.Err.find("the circuit is not passive"), std::string::npos) << result.Err;
        EXPECT_EQ(result.Err.find("not passive"), result.Err.rfind("not passive")) << result.Err;
        EXPECT_EQ(result.Out, "");
        EXPECT_FALSE(fs::exists(wav));
    }
    const RunResult live = Run({"--set", "FR1=-100k"});
    EXPECT_EQ(live.ExitCode, 0);
    EXPECT_EQ(Lines(live.Out).size(), 446u);
    EXPECT_EQ(live.Err, "corvanta-cli: warning: " + refusal);
}

// Rendering holds a block at a time, whatever the input's length and rate:
// half a minute at 768 kHz (88 MB as floats, 69 MB as the 24-bit file) in
// a few megabytes. A rate outside 8 kHz..768 kHz is refused from the header.
TEST_F(Cli, RenderingStreamsInBoundedMemory)
{
    constexpr std::uint32_t Frames = 768000 * 30;
    const fs::path input = Dir / "long.wav";
    std::ofstream(input, std::ios::binary) << test::PcmWavHeader(768000, Frames);
    fs::resize_file(input, 44 + 2 * std::uintmax_t(Frames)); // a hole reads as silence
    const fs::path output = Dir / "out.wav";
    const auto [exitCode, peakKiB] = RunMeasuringMemory({"--render", input.string(), "--output", output.string()});
    EXPECT_EQ(exitCode, 0);
    EXPECT_LT(peakKiB, 64 * 1024);
    EXPECT_EQ(fs::file_size(output), 44 + 3 * std::uintmax_t(Frames));

    std::ofstream(Dir / "slow.wav", std::ios::binary) << test::PcmWavHeader(1, 100) << std::string(200, '\0');
    const RunResult slow = Run({"--render", (Dir / "slow.wav").string(), "--output", (Dir / "slow-out.wav").string()});
    EXPECT_EQ(slow.ExitCode, 1);
    EXPECT_NE(slow.Err.find("invalid sample rate (1 Hz)"), std::string::npos) << slow.Err;
    EXPECT_FALSE(fs::exists(Dir / "slow-out.wav"));
}

TEST_F(Cli, TapersByNameAndSnappedValuesAreSavedAsTheFileWritesThem)
{
    const fs::path saved = Dir / "amp.cva";
    const RunResult named = Run({"--set", "FR3=250k|audio15", "--set", "FR1=50k", "--set", "FC1=260p", "--set",
                                 "FR2=260k|1", "--snap", "E12", "--save", saved.string()});
    ASSERT_EQ(named.ExitCode, 0) << named.Err;
    const std::string file = ReadFile(saved);
    for (const char *line : {"\r\nFR3=250000|4\r\n", "\r\nFR1=47000\r\n", "\r\nFR2=260000|1\r\n"})
        EXPECT_NE(file.find(line), std::string::npos) << line;
    EXPECT_EQ(named.Out, Run({"--set", "FR3=250k|4", "--set", "FR1=47k", "--set", "FC1=2.7e-10", "--set", "FR2=260k|1"}).Out);
}

TEST_F(Cli, ToleranceBandSurroundsTheCurveAndSensitivityListsEveryPart)
{
    const RunResult band = Run({"--tab", "Bench", "--tolerance", "--runs", "40"});
    ASSERT_EQ(band.ExitCode, 0) << band.Err;
    const auto lines = Lines(band.Out);
    ASSERT_EQ(lines.size(), 446u);
    EXPECT_EQ(lines[0], "frequency_hz,gain_db,min_db,p5_db,median_db,p95_db,max_db");
    const auto curve = Lines(Run({"--tab", "Bench"}).Out);
    for (std::size_t i = 1; i < lines.size(); ++i)
        EXPECT_EQ(lines[i].substr(0, curve[i].size() + 1), curve[i] + ",") << i;
    EXPECT_EQ(Run({"--tab", "Bench", "--tolerance", "--runs", "40"}).Out, band.Out);
    EXPECT_NE(Run({"--tab", "Bench", "--tolerance", "--runs", "40", "--seed", "5"}).Out, band.Out);

    // Exact parts: every column is the curve (the engine and the loop model
    // agree far below the printed spread).
    const auto exact = Lines(Run({"--tolerance", "--runs", "3", "--tol", "all=5", "--tol", "all=0"}).Out);
    ASSERT_EQ(exact.size(), 446u);
    for (std::size_t i = 1; i < exact.size(); ++i) {
        std::istringstream row(exact[i]);
        std::vector<double> values;
        for (std::string cell; std::getline(row, cell, ',');)
            values.push_back(std::stod(cell));
        for (std::size_t column = 2; column < values.size(); ++column)
            EXPECT_NEAR(values[column], values[1], 1e-6) << exact[i];
    }

    const RunResult table = Run({"--sensitivity", "--tol", "FR1=1"});
    ASSERT_EQ(table.ExitCode, 0) << table.Err;
    const auto rows = Lines(table.Out);
    ASSERT_EQ(rows.size(), 10u); // the Fender page's nine parts
    EXPECT_EQ(rows[0], "part,kind,tolerance_pct,frequency_hz,db_per_pct");
    EXPECT_NE(table.Out.find("\nFR1,R,1,"), std::string::npos);
    EXPECT_NE(table.Out.find("\nFR2,pot,20,"), std::string::npos);
}

TEST_F(Cli, DesignAidMisuseIsAUsageErrorOrNamesTheSetting)
{
    for (const std::vector<std::string> &arguments :
         {std::vector<std::string>{"--snap", "E48"}, {"--tolerance", "--tol", "R=x"}, {"--tolerance", "--tol", "R=100"},
          {"--tolerance", "--runs", "0"}, {"--tolerance", "--sensitivity"}, {"--tolerance", "--format", "json"},
          {"--runs", "5"}, {"--tol", "R=1"}}) {
        const RunResult result = Run(arguments);
        EXPECT_EQ(result.ExitCode, 2) << arguments[0] << " " << arguments[1];
        EXPECT_TRUE(result.Out.empty());
    }
    const RunResult unknown = Run({"--tolerance", "--tol", "VR1=1"});
    EXPECT_EQ(unknown.ExitCode, 1);
    EXPECT_EQ(unknown.Err, "corvanta-cli: \"VR1\" names no part of this page, nor a kind (R, C, L, pot, source), nor all\n");
}

namespace {

// The gain column of ngspice's printed AC table, one value per row.
std::vector<double> PrintedGains(const std::string &log)
{
    std::vector<double> gains;
    for (const std::string &line : Lines(log)) {
        std::istringstream fields(line);
        int index = 0;
        double frequency = 0, gain = 0;
        if (fields >> index >> frequency >> gain && index == int(gains.size()))
            gains.push_back(gain);
    }
    return gains;
}

std::vector<double> CsvGains(const std::string &csv)
{
    std::vector<double> gains;
    for (const std::string &line : Lines(csv))
        if (const std::size_t comma = line.find(','); comma != std::string::npos && line[0] != 'f')
            gains.push_back(std::stod(line.substr(comma + 1)));
    return gains;
}

} // namespace

TEST_F(Cli, NetlistsAndPagesExportDecksThatNgspicePrintsTheSameGainFrom)
{
    const fs::path netlist = Dir / "amp.txt"; // a netlist by its first line, not its extension
    std::ofstream(netlist) << "Two pots and a parameter\nV1 in 0 AC 1\n.param tilt=0.3\n"
                              "P1 in a 0 100k logA control=Tone\nP2 a b 0 10k logB control=tone\n"
                              "C1 b out 10n\nR1 out 0 {47k*tilt+1k}\nL1 a 0 0.5 Rser=30\n.probe v(out)\n";
    const std::vector<std::vector<std::string>> cases = {
        {netlist.string(), "--control", "tone=20", "--control", "Tilt=90", "--set", "C1=22n"},
        {"--tab", "Bench", "--bass", "30"},
        {"--tab", "Fender"},
    };
    for (std::vector<std::string> arguments : cases) {
        const fs::path deck = Dir / "deck.cir";
        arguments.insert(arguments.end(), {"--resolution", "high", "--export-spice", deck.string()});
        const RunResult curve = Run(arguments);
        ASSERT_EQ(curve.ExitCode, 0) << curve.Err;
        const std::string command = "ngspice -b " + ShellQuoted(deck.string()) + " > " + ShellQuoted((Dir / "log").string()) + " 2>&1";
        ASSERT_EQ(std::system(command.c_str()), 0) << ReadFile(deck);
        const std::vector<double> ours = CsvGains(curve.Out), spice = PrintedGains(ReadFile(Dir / "log"));
        ASSERT_EQ(spice.size(), ours.size()) << ReadFile(Dir / "log");
        for (std::size_t k = 0; k < ours.size(); ++k)
            // ngspice prints six significant digits.
            ASSERT_NEAR(spice[k], ours[k], 1e-5 * std::fabs(ours[k]) + 1e-5) << arguments[0] << " point " << k;
    }
}

TEST_F(Cli, ANetlistSavesAsANetlistWithItsNewValues)
{
    const fs::path netlist = Dir / "tilt.cir";
    std::ofstream(netlist) << "Tilt\n* kept as written\nV1 in 0 AC 1\nR1 in a 10k\nPtilt a w 0 100k control=Tilt\n"
                              "C1 w out 22n\nR2 out 0 100k\n.print ac vdb(out)\n.end\n";
    const fs::path saved = Dir / "saved.cir";
    const RunResult first =
        Run({netlist.string(), "--control", "tilt=20", "--set", "C1=47n", "--save", saved.string()});
    ASSERT_EQ(first.ExitCode, 0) << first.Err;
    const std::string text = ReadFile(saved);
    EXPECT_EQ(text.rfind("Tilt\n* kept as written\n", 0), 0u) << text;
    EXPECT_EQ(text.find("Tab="), std::string::npos) << text;
    const RunResult second = Run({saved.string()});
    ASSERT_EQ(second.ExitCode, 0) << second.Err;
    EXPECT_EQ(second.Out, first.Out);
}

// A netlist names its controls in its own order: --bass moves the control
// labelled Bass, not whichever the page lists first.
TEST_F(Cli, SliderOptionsMoveTheNetlistControlOfTheirName)
{
    const fs::path netlist = Dir / "two.cir";
    std::ofstream(netlist) << "Three\nV1 in 0 AC 1\nR1 in a 10k\nPt a w 0 100k control=Treble\nC1 w b 22n\n"
                              "Pb b out 0 1meg control=Bass\nC2 out 0 10n\nPm out m 0 25k control=Middle\n";
    const struct {
        std::vector<std::string> Slider, Control;
    } cases[] = {
        {{"--bass", "20"}, {"--control", "Bass=20"}},
        {{"--treble", "70"}, {"--control", "Treble=70"}},
        {{"--mid", "30"}, {"--control", "Middle=30"}},
    };
    for (const auto &c : cases) {
        std::vector<std::string> slider{netlist.string()}, control{netlist.string()};
        slider.insert(slider.end(), c.Slider.begin(), c.Slider.end());
        control.insert(control.end(), c.Control.begin(), c.Control.end());
        const RunResult bySlider = Run(slider), byControl = Run(control);
        ASSERT_EQ(bySlider.ExitCode, 0) << bySlider.Err;
        EXPECT_TRUE(bySlider.Out == byControl.Out) << c.Slider[0];
    }
    const fs::path noMid = Dir / "two.cir";
    std::ofstream(noMid) << "Two\nV1 in 0 AC 1\nR1 in a 10k\nPt a w 0 100k control=Treble\nC1 w b 22n\n"
                            "Pb b out 0 1meg control=Bass\nC2 out 0 10n\n";
    const RunResult mid = Run({noMid.string(), "--mid", "10"});
    EXPECT_EQ(mid.ExitCode, 2);
    EXPECT_NE(mid.Err.find("(Treble, Bass), not \"Mid\" or \"Middle\""), std::string::npos) << mid.Err;
}

TEST_F(Cli, NetlistErrorsNameTheFileAndLine)
{
    const fs::path netlist = Dir / "bad.cir";
    std::ofstream(netlist) << "title\nV1 in 0 AC 1\nR1 in out 1k\nQ1 out 0 0 npn\n";
    const RunResult result = Run({netlist.string()});
    EXPECT_EQ(result.ExitCode, 1);
    EXPECT_EQ(result.Err, "corvanta-cli: " + netlist.string() + ":4: unknown element Q1: a netlist here holds only R, "
                                                                "C, L, V and P (pot) elements\n");
}
