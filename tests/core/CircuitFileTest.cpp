// The circuit file: what a save writes, every rule of loading, all-or-nothing
// loading, and failures to create or open a file.

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#ifdef __unix__
#include <sys/resource.h>
#endif

#include "document/CircuitFile.h"
#include "numerics/Error.h"

namespace {

using namespace cva;
namespace fs = std::filesystem;

std::string Join(const std::vector<std::string> &lines)
{
    std::string text;
    for (const std::string &line : lines)
        text += line + "\r\n";
    return text;
}

std::string LoadError(std::string_view text, const TCircuit &current, char separator = '.')
{
    try {
        ApplyCircuitText(text, current, separator);
    } catch (const CorvantaError &error) {
        return error.what();
    }
    return "(no error)";
}

TEST(CircuitFileSave, DefaultCircuitLines)
{
    const TCircuit c;
    const std::vector<std::string> lines = CircuitFileLines(c);
    ASSERT_EQ(lines.size(), 69u);
    const std::vector<std::string> head = {"Tab=Fender",     "Pos1=50",     "Pos2=50",       "Pos3=50",
                                           "BC1=4.7E-10",    "BC2=4.7E-9",  "BC3=3.3E-10",   "BC4=3.3E-9",
                                           "BG=38000",       "BR1=100000",  "BR2=1000000|2", "BR3=10000"};
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + head.size()), head);
    auto has = [&lines](const std::string &line) {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    };
    for (const char *line : {"FR2=250000|1", "SL1=6|600", "SL2=20|600", "VC3=4.7E-11", "MR3=1000000|2",
                             "FC1=2.5E-10", "PC1=4E-9", "EG=1300"})
        EXPECT_TRUE(has(line)) << line;
    EXPECT_EQ(lines.back(), "VR5=600000");
    // Component lines in ascending name order, ignoring case.
    for (std::size_t i = 5; i < lines.size(); ++i)
        EXPECT_TRUE(NameLess(lines[i - 1].substr(0, lines[i - 1].find('=')), lines[i].substr(0, lines[i].find('='))))
            << lines[i - 1] << " before " << lines[i];

    const std::string text = CircuitFileText(c);
    EXPECT_EQ(text, Join(lines));
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
}

TEST(CircuitFileSave, StateLinesFollowTheCircuit)
{
    TCircuit c;
    c.Active = Topology::BigMuff;
    c.SetPosition(TSlider::Bass, 0);
    c.SetPosition(TSlider::Mid, 100);
    c.SetPosition(TSlider::Treble, 7);
    c.Symbols.SetInfo("FC3", "4.7E-8");
    const std::vector<std::string> lines = CircuitFileLines(c);
    EXPECT_EQ(lines[0], "Tab=Big muff");
    EXPECT_EQ(lines[1], "Pos1=0");
    EXPECT_EQ(lines[2], "Pos2=100");
    EXPECT_EQ(lines[3], "Pos3=7");
}

TEST(CircuitFileLoad, TabAndPositions)
{
    const TCircuit current;
    TCircuit c = ApplyCircuitText("Tab=Vox", current);
    EXPECT_EQ(c.Active, Topology::Vox);
    std::vector<std::string> expected = CircuitFileLines(current);
    expected[0] = "Tab=Vox";
    EXPECT_EQ(CircuitFileLines(c), expected); // sliders and components as they were

    EXPECT_EQ(ApplyCircuitText("Tab=vox", current).Active, Topology::Fender);
    EXPECT_EQ(ApplyCircuitText("tab=Vox", current).Active, Topology::Vox);
    EXPECT_EQ(ApplyCircuitText("TAB=E series\n", current).Active, Topology::ESeries);
    EXPECT_EQ(ApplyCircuitText("Tab=Big muff", current).Active, Topology::BigMuff);
    EXPECT_EQ(ApplyCircuitText("Tab=Big Muff", current).Active, Topology::Fender);
    EXPECT_EQ(ApplyCircuitText("Tab= Vox", current).Active, Topology::Fender);
    EXPECT_EQ(ApplyCircuitText("Tab=", current).Active, Topology::Fender);

    c = ApplyCircuitText("Pos2=150\nPos1=-4\npos3=12", current);
    EXPECT_EQ(c.Position(TSlider::Mid), 100);
    EXPECT_EQ(c.Position(TSlider::Bass), 0);
    EXPECT_EQ(c.Position(TSlider::Treble), 12);
    c = ApplyCircuitText("Pos2=", current);
    EXPECT_EQ(c.Position(TSlider::Mid), 50);
    EXPECT_EQ(LoadError("Pos1=abc", current), "'abc' is not a valid integer value");
}

TEST(CircuitFileLoad, ComponentLines)
{
    const TCircuit current;
    const std::string text = "XR1=5\r\n"
                             "\r\n"
                             "no equals sign\r\n"
                             "FR1 =5\r\n"
                             "=7\r\n"
                             "fr1=220000\r\n"
                             "FR1=330000\r\n" // the first line of a name wins
                             "FR2=250000|1|9\r\n"
                             "SL1=8|0\n"
                             "VC3=1E-10\r";
    const TCircuit c = ApplyCircuitText(text, current);
    EXPECT_EQ(c.Symbols.GetValue("FR1"), 220000);
    EXPECT_EQ(c.Symbols.GetValue("FR2"), 250000);
    EXPECT_EQ(c.Symbols.GetPotType("FR2"), PotLogA);
    EXPECT_EQ(c.Symbols.GetValue("SL1"), 8);
    EXPECT_EQ(c.Symbols.GetValueR("SL1"), 0);
    EXPECT_EQ(c.Symbols.GetValue("VC3"), 1e-10);
    EXPECT_FALSE(c.Symbols.Contains("XR1"));
    EXPECT_EQ(c.Symbols.Count(), 65u);
    // Components the file does not name keep their current values.
    EXPECT_EQ(c.Symbols.GetValue("FR5"), 1e6);
    EXPECT_EQ(c.Active, Topology::Fender);

    // The value runs to the end of the line, blanks and further '=' included.
    EXPECT_EQ(LoadError("FR1=5=6", current), "'5=6' is not a valid floating point value");
    EXPECT_EQ(ApplyCircuitText("FR1= 5 ", current).Symbols.GetValue("FR1"), 5);
}

TEST(CircuitFileLoad, DecimalSeparatorOfTheUser)
{
    const TCircuit current;
    const TCircuit c = ApplyCircuitText("FC3=4,7E-9\r\nFC2=2.2E-8\r\nSL2=1,5|0,25", current, ',');
    EXPECT_EQ(c.Symbols.GetValue("FC3"), 4.7e-9);
    EXPECT_EQ(c.Symbols.GetValue("FC2"), 2.2e-8);
    EXPECT_EQ(c.Symbols.GetValue("SL2"), 1.5);
    EXPECT_EQ(c.Symbols.GetValueR("SL2"), 0.25);
    EXPECT_EQ(LoadError("FC3=4,7E-9", current, '.'), "'4,7E-9' is not a valid floating point value");
    // Saving always writes '.'.
    EXPECT_NE(CircuitFileText(c).find("FC3=4.7E-9\r\n"), std::string::npos);
}

TEST(CircuitFileLoad, AllOrNothing)
{
    TCircuit current;
    current.Symbols.SetInfo("FR5", "470000");
    const std::string before = CircuitFileText(current);

    const char *bad[] = {
        "Tab=Vox\r\nPos1=10\r\nFR2=1000|0\r\nFR1=100k\r\n",
        "Tab=Marshall\r\nPos3=0\r\nVR3=5|1\r\nSL1=3\r\n",
        "Tab=Bench\r\nFC1=1E-9\r\nMR4=25000|x\r\n",
        "Tab=James\r\nPos2=70\r\nPos1=1.5\r\n",
    };
    const char *messages[] = {
        "'100k' is not a valid floating point value",
        "List index out of bounds (1)",
        "'x' is not a valid integer value",
        "'1.5' is not a valid integer value",
    };
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(LoadError(bad[i], current), messages[i]);
        EXPECT_EQ(CircuitFileText(current), before);
    }

    // The loaded circuit does not share symbols with the one it came from.
    TCircuit loaded = ApplyCircuitText("FR1=1", current);
    loaded.Symbols.SetInfo("FR5", "1");
    EXPECT_EQ(current.Symbols.GetValue("FR5"), 470000);
    EXPECT_EQ(current.Symbols.GetValue("FR1"), 100000);
}

TEST(CircuitFileLoad, SaveThenLoadRestoresEveryValue)
{
    const TCircuit defaults;
    TCircuit c;
    c.Active = Topology::James;
    c.SetPosition(TSlider::Bass, 3);
    c.SetPosition(TSlider::Mid, 99);
    c.SetPosition(TSlider::Treble, 0);
    // Values with up to 15 significant digits, extremes, negatives and zero.
    c.Symbols.SetInfo("FR1", "123456.789012345");
    c.Symbols.SetInfo("FC1", "1E-300");
    c.Symbols.SetInfo("FR2", "-250000|255");
    c.Symbols.SetInfo("SL1", "0|1.7976931348623E308");
    c.Symbols.SetInfo("VG", "0");
    c.Symbols.SetInfo("PR3", "4.9E-324|3");
    c.Symbols.SetInfo("EC4", "0.000123");
    c.Symbols.AddResistor("PR4", -1.7976931348623157e308); // written with 15 digits, just beyond the range

    const std::string text = CircuitFileText(c);
    const TCircuit back = ApplyCircuitText(text, defaults);
    EXPECT_EQ(CircuitFileText(back), text);
    EXPECT_EQ(back.Active, Topology::James);
    for (TSlider slider : AllSliders)
        EXPECT_EQ(back.Position(slider), c.Position(slider));
    for (const auto &entry : c.Symbols) {
        EXPECT_EQ(back.Symbols.GetValue(entry.Name), entry.Symbol->GetValue()) << entry.Name;
        EXPECT_EQ(back.Symbols.GetValueR(entry.Name), entry.Symbol->GetValueR()) << entry.Name;
    }
    EXPECT_EQ(back.Symbols.GetPotType("FR2"), 255);
    EXPECT_EQ(back.Symbols.GetPotType("PR3"), 3);
}

// A directory under the system's temporary directory, removed at the end.
class TempDir {
public:
    TempDir()
    {
        std::random_device device;
        Path = fs::temp_directory_path() / ("corvanta-test-" + std::to_string(device()) + std::to_string(device()));
        fs::create_directories(Path);
    }
    ~TempDir()
    {
        std::error_code ignored;
        fs::remove_all(Path, ignored);
    }
    std::vector<std::string> Entries() const
    {
        std::vector<std::string> names;
        for (const auto &entry : fs::directory_iterator(Path))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    fs::path Path;
};

std::string ReadAll(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void WriteAll(const fs::path &path, const std::string &text)
{
    std::ofstream out(path, std::ios::binary);
    out << text;
}

TEST(CircuitFileDisk, SaveAndLoad)
{
    TempDir dir;
    const fs::path path = dir.Path / "amp.cva";
    WriteAll(path, "old contents that are longer than nothing");
    TCircuit c;
    c.Active = Topology::Marshall;
    c.Symbols.SetInfo("MR5", "470000");
    SaveCircuitFile(path, c);
    EXPECT_EQ(ReadAll(path), CircuitFileText(c));
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"amp.cva"});

    const TCircuit loaded = LoadCircuitFile(path, TCircuit());
    EXPECT_EQ(CircuitFileText(loaded), CircuitFileText(c));

    WriteAll(path, "Tab=Vox\nFR1=100k\n");
    try {
        LoadCircuitFile(path, c);
        FAIL() << "no error";
    } catch (const CorvantaError &error) {
        EXPECT_STREQ(error.what(), "'100k' is not a valid floating point value");
    }
}

TEST(CircuitFileDisk, SavingKeepsPermissionsAndLinks)
{
    TempDir dir;
    const fs::path path = dir.Path / "private.cva";
    WriteAll(path, "old");
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);
    const fs::path link = dir.Path / "link.cva";
    fs::create_symlink(path, link);

    TCircuit c;
    c.Active = Topology::James;
    SaveCircuitFile(link, c);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadAll(path), CircuitFileText(c));
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"link.cva", "private.cva"}));
}

void ExpectCreateError(const fs::path &path, const TCircuit &c)
{
    try {
        SaveCircuitFile(path, c);
        FAIL() << "no error for " << path;
    } catch (const CorvantaError &error) {
        const std::string prefix = "Cannot create file \"" + path.string() + "\". ";
        const std::string message = error.what();
        EXPECT_EQ(message.substr(0, prefix.size()), prefix);
        EXPECT_GT(message.size(), prefix.size()) << "no reason given";
    }
}

TEST(CircuitFileDisk, SaveFailuresAreReportedAndKeepExistingFiles)
{
    TempDir dir;
    const TCircuit c;

    ExpectCreateError(dir.Path / "missing" / "amp.cva", c);
    EXPECT_FALSE(fs::exists(dir.Path / "missing"));

    // The target is a directory with a file in it.
    const fs::path folder = dir.Path / "folder.cva";
    fs::create_directory(folder);
    WriteAll(folder / "inside", "keep");
    ExpectCreateError(folder, c);
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_EQ(ReadAll(folder / "inside"), "keep");

    // A name near the length limit is saved like any other.
    const fs::path longName = dir.Path / (std::string(250, 'a') + ".cva");
    WriteAll(longName, "previous circuit");
    EXPECT_NO_THROW(SaveCircuitFile(longName, c));
    EXPECT_EQ(ReadAll(longName), CircuitFileText(c));
    // No half-written leftovers next to the targets.
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{longName.filename().string(), "folder.cva"}));
}

#ifdef __unix__
// Lowers the file size limit so that writing the circuit fails even for root.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &Saved);
        PreviousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lowered = Saved;
        lowered.rlim_cur = bytes;
        Active = setrlimit(RLIMIT_FSIZE, &lowered) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &Saved);
        std::signal(SIGXFSZ, PreviousHandler);
    }
    bool Active = false;

private:
    rlimit Saved{};
    void (*PreviousHandler)(int) = nullptr;
};

TEST(CircuitFileDisk, FailedWriteKeepsTheExistingFile)
{
    TempDir dir;
    const fs::path path = dir.Path / "amp.cva";
    WriteAll(path, "previous circuit");
    {
        FileSizeLimit limit(64);
        if (!limit.Active)
            GTEST_SKIP() << "cannot lower the file size limit";
        ExpectCreateError(path, TCircuit());
    }
    EXPECT_EQ(ReadAll(path), "previous circuit");
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"amp.cva"});
}
#endif

TEST(CircuitFileDisk, OpenFailuresAreReported)
{
    TempDir dir;
    const TCircuit c;
    for (const fs::path &path : {dir.Path / "nothing.cva", dir.Path / "missing" / "a.cva", dir.Path}) {
        try {
            LoadCircuitFile(path, c);
            FAIL() << "no error for " << path;
        } catch (const CorvantaError &error) {
            const std::string prefix = "Cannot open file \"" + path.string() + "\". ";
            const std::string message = error.what();
            EXPECT_EQ(message.substr(0, prefix.size()), prefix);
            EXPECT_GT(message.size(), prefix.size());
        }
    }
}

} // namespace
