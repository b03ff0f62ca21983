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

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "TempDir.h"
#include "document/CircuitFile.h"
#include "numerics/Error.h"

namespace {

using namespace cva;
using namespace cva::test;
namespace fs = std::filesystem;

std::string Join(const std::vector<std::string> &lines)
{
    std::string text;
    for (const std::string &line : lines)
        text += line + "\r\n";
    return text;
}

std::string LoadError(std::string_view text, const TCircuit &current)
{
    try {
        ApplyCircuitText(text, current);
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
    c.Active = PageNamed("Big muff");
    c.SetPosition(BuiltInControl::Bass, 0);
    c.SetPosition(BuiltInControl::Mid, 100);
    c.SetPosition(BuiltInControl::Treble, 7);
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
    EXPECT_EQ(c.Active, PageNamed("Vox"));
    std::vector<std::string> expected = CircuitFileLines(current);
    expected[0] = "Tab=Vox";
    EXPECT_EQ(CircuitFileLines(c), expected); // sliders and components as they were

    EXPECT_EQ(ApplyCircuitText("Tab=vox", current).Active, PageNamed("Fender"));
    EXPECT_EQ(ApplyCircuitText("tab=Vox", current).Active, PageNamed("Vox"));
    EXPECT_EQ(ApplyCircuitText("TAB=E series\n", current).Active, PageNamed("E series"));
    EXPECT_EQ(ApplyCircuitText("Tab=Big muff", current).Active, PageNamed("Big muff"));
    EXPECT_EQ(ApplyCircuitText("Tab=Big Muff", current).Active, PageNamed("Fender"));
    EXPECT_EQ(ApplyCircuitText("Tab= Vox", current).Active, PageNamed("Fender"));
    EXPECT_EQ(ApplyCircuitText("Tab=", current).Active, PageNamed("Fender"));

    c = ApplyCircuitText("Pos2=150\nPos1=-4\npos3=12", current);
    EXPECT_EQ(c.Position(BuiltInControl::Mid), 100);
    EXPECT_EQ(c.Position(BuiltInControl::Bass), 0);
    EXPECT_EQ(c.Position(BuiltInControl::Treble), 12);
    c = ApplyCircuitText("Pos2=", current);
    EXPECT_EQ(c.Position(BuiltInControl::Mid), 50);
    EXPECT_EQ(LoadError("Pos1=abc", current), "line 1 (Pos1): 'abc' is not a valid integer value");
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
    EXPECT_EQ(c.Active, PageNamed("Fender"));

    // The value runs to the end of the line, blanks and further '=' included.
    EXPECT_EQ(LoadError("FR1=5=6", current), "line 1 (FR1): '5=6' is not a valid floating point value");
    EXPECT_EQ(ApplyCircuitText("FR1= 5 ", current).Symbols.GetValue("FR1"), 5);
}

// One way for every program and locale: a file saved under a locale with
// a decimal comma reads the same elsewhere, and "100,000" is no number.
TEST(CircuitFileLoad, NumbersAreReadWithAPointWhateverTheLocale)
{
    const TCircuit current;
    EXPECT_EQ(LoadError("FR1=100,000", current), "line 1 (FR1): '100,000' is not a valid floating point value");
    EXPECT_EQ(LoadError("SL2=1,5|0.25", current), "line 1 (SL2): '1,5' is not a valid floating point value");
    EXPECT_EQ(ApplyCircuitText("FC3=4.7E-9", current).Symbols.GetValue("FC3"), 4.7e-9);
}

// A taper is one of 256 numbers; one beyond them does not wrap round to a
// taper but is refused with its line.
TEST(CircuitFileLoad, TaperNumbersOutsideOneByteAreRefused)
{
    const TCircuit current;
    for (const char *taper : {"256", "257", "-1", "65536"})
        EXPECT_EQ(LoadError(std::string("Tab=Fender\nFR2=250000|") + taper, current),
                  std::string("line 2 (FR2): '") + taper + "' is not a taper number from 0 to 255");
    for (const int taper : {0, 2, 255})
        EXPECT_EQ(ApplyCircuitText("FR2=250000|" + std::to_string(taper), current).Symbols.GetPotType("FR2"), taper);
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
        "line 4 (FR1): '100k' is not a valid floating point value",
        "line 4 (SL1): List index out of bounds (1)",
        "line 3 (MR4): 'x' is not a valid integer value",
        "line 3 (Pos1): '1.5' is not a valid integer value",
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
    c.Active = PageNamed("James");
    c.SetPosition(BuiltInControl::Bass, 3);
    c.SetPosition(BuiltInControl::Mid, 99);
    c.SetPosition(BuiltInControl::Treble, 0);
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
    EXPECT_EQ(back.Active, PageNamed("James"));
    for (int slider = 0; slider < BuiltInControl::Count; ++slider)
        EXPECT_EQ(back.Position(slider), c.Position(slider));
    for (const auto *entry : c.Symbols.InNameOrder()) {
        EXPECT_EQ(back.Symbols.GetValue(entry->Name), entry->Symbol->GetValue()) << entry->Name;
        EXPECT_EQ(back.Symbols.GetValueR(entry->Name), entry->Symbol->GetValueR()) << entry->Name;
    }
    EXPECT_EQ(back.Symbols.GetPotType("FR2"), 255);
    EXPECT_EQ(back.Symbols.GetPotType("PR3"), 3);
}

TEST(CircuitFileDisk, SaveAndLoad)
{
    TempDir dir;
    const fs::path path = dir.Path / "amp.cva";
    WriteAll(path, "old contents that are longer than nothing");
    TCircuit c;
    c.Active = PageNamed("Marshall");
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
        EXPECT_STREQ(error.what(), "amp.cva, line 2 (FR1): '100k' is not a valid floating point value");
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
    c.Active = PageNamed("James");
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

std::string OpenError(const fs::path &path, const TCircuit &c = TCircuit())
{
    try {
        LoadCircuitFile(path, c);
    } catch (const CorvantaError &error) {
        return error.what();
    }
    return "(loaded)";
}

TEST(CircuitFileDisk, OpenFailuresAreReported)
{
    TempDir dir;
    for (const fs::path &path : {dir.Path / "nothing.cva", dir.Path / "missing" / "a.cva", dir.Path}) {
        const std::string prefix = "Cannot open file \"" + path.string() + "\". ";
        const std::string message = OpenError(path);
        EXPECT_EQ(message.substr(0, prefix.size()), prefix);
        EXPECT_GT(message.size(), prefix.size());
    }
}

TEST(CircuitFileDisk, HugeAndEndlessInputIsRefusedWithoutReadingItAll)
{
    TempDir dir;
    const fs::path huge = dir.Path / "huge.cva";
    WriteAll(huge, "Tab=Vox\r\n");
    fs::resize_file(huge, 20 * 1024 * 1024); // sparse: nothing is written
    EXPECT_EQ(OpenError(huge), "Cannot open file \"" + huge.string() +
                                   "\". too large (20971520 bytes; a circuit file is a few kilobytes)");
    fs::resize_file(huge, MaxCircuitFileBytes);
    EXPECT_EQ(OpenError(huge), "(loaded)");
    EXPECT_EQ(OpenError("/dev/zero"),
              "Cannot open file \"/dev/zero\". too large (more than 16777216 bytes; a circuit file is a few kilobytes)");
}

TEST(CircuitFileDisk, PipesAreReadAndNeverWaitedForWhenNobodyWrites)
{
    TempDir dir;
    const fs::path fifo = dir.Path / "fifo.cva";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(OpenError(fifo), "Cannot open file \"" + fifo.string() + "\". not a circuit file");

    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    const std::string text = "Tab=Bench\nPos1=7\n";
    ASSERT_EQ(::write(ends[1], text.data(), text.size()), ssize_t(text.size()));
    ::close(ends[1]);
    const TCircuit loaded = LoadCircuitFile("/dev/fd/" + std::to_string(ends[0]), TCircuit());
    ::close(ends[0]);
    EXPECT_EQ(loaded.Active, PageNamed("Bench"));
    EXPECT_EQ(loaded.Position(BuiltInControl::Bass), 7);
}

// The desktop program asks for plain files only: a pipe whose writer stays
// open would never end, and it is refused before anything is read.
TEST(CircuitFileDisk, SpecialFilesAreRefusedWhenAskedWithoutWaiting)
{
    TempDir dir;
    const fs::path fifo = dir.Path / "fifo.cva";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const int writer = ::open(fifo.c_str(), O_RDWR); // a writer that never ends
    ASSERT_GE(writer, 0);
    ::alarm(20); // a wait ends the test instead of hanging it
    for (const fs::path &path : {fifo, fs::path("/dev/zero")})
        try {
            LoadCircuitFile(path, TCircuit(), TSpecialFiles::Refused);
            ADD_FAILURE() << path << " was read";
        } catch (const CorvantaError &error) {
            EXPECT_EQ(error.what(), "Cannot open file \"" + path.string() + "\". not a regular file");
        }
    ::alarm(0);
    ::close(writer);
}

TEST(CircuitFileDisk, AFileWithoutACircuitLineIsRefused)
{
    TempDir dir;
    const fs::path path = dir.Path / "notes.cva";
    for (const std::string &text : {std::string(), std::string("\xEF\xBB\xBF"), std::string("Tab=Tweed\r\n"),
                                    std::string("garbage\nXR1=5\nFR1 =5\n=7\ntab=vox\n"), std::string(100, '\0')}) {
        WriteAll(path, text);
        EXPECT_EQ(OpenError(path), "Cannot open file \"" + path.string() + "\". not a circuit file") << text;
    }
    // One line loading takes something from is enough.
    for (const char *text : {"Tab=Vox", "pos2=", "fr1=1000\ngarbage"}) {
        WriteAll(path, text);
        EXPECT_EQ(OpenError(path), "(loaded)") << text;
    }
}

TEST(CircuitFileLoad, ByteOrderMarkAndTheLineOfAnError)
{
    const TCircuit current;
    EXPECT_EQ(ApplyCircuitText("\xEF\xBB\xBFTab=Vox\r\nPos1=3", current).Active, PageNamed("Vox"));
    // Only a leading mark is skipped.
    EXPECT_EQ(ApplyCircuitText("\r\n\xEF\xBB\xBFTab=Vox", current).Active, PageNamed("Fender"));

    // Lines counted as the reader splits them: CR, LF and CR LF each end one.
    const std::string text = "Tab=Vox\r\nPos1=5\rPos2=5\nPos3=5\r\n\r\nXR1=1\nFR1=12abc\r\nFR1=1\r\n";
    EXPECT_EQ(LoadError(text, current), "line 7 (FR1): '12abc' is not a valid floating point value");
    try {
        ApplyCircuitText(text, current, "amp.cva");
        FAIL() << "no error";
    } catch (const CorvantaError &error) {
        EXPECT_STREQ(error.what(), "amp.cva, line 7 (FR1): '12abc' is not a valid floating point value");
    }
    // The key as the file spells it; for a slider, the line its value came from.
    EXPECT_EQ(LoadError("FR1=1\npos3=x\nPos3=1", current), "line 2 (pos3): 'x' is not a valid integer value");
}

TEST(CircuitFileLoad, UnknownTapersAreToldOnceAndKept)
{
    const TCircuit current;
    EXPECT_TRUE(UnknownTaperWarnings(current).empty());
    const TCircuit loaded = ApplyCircuitText("FR2=250000|255\r\nPR3=1000|9\r\nVR4=1000|8", current);
    EXPECT_EQ(UnknownTaperWarnings(loaded),
              (std::vector<std::string>{
                  "FR2 has taper number 255, which is none of the known laws 0 to 8; it works as Linear",
                  "PR3 has taper number 9, which is none of the known laws 0 to 8; it works as Linear"}));
    EXPECT_EQ(loaded.TaperLabel(BuiltInControl::Treble), "Linear (255)");
    EXPECT_NE(CircuitFileText(loaded).find("\r\nFR2=250000|255\r\n"), std::string::npos);
}

} // namespace
