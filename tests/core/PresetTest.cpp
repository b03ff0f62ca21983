// The preset library: the shipped files against the published transfer
// function they come from, and every way a preset file can be unusable.

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <complex>
#include <filesystem>
#include <fstream>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "document/Preset.h"
#include "numerics/Error.h"

namespace {

using namespace cva;
namespace fs = std::filesystem;

const fs::path ShippedPresets = CORVANTA_PRESET_DIR;

// |H(j 2 pi f)| of the treble/bass/mid stack with the mid pot as a divider,
// driven by an ideal source and unloaded, as published by Yeh and Smith
// ("Discretization of the '59 Fender Bassman Tone Stack", DAFx-06). R1 is the
// treble pot, R2 bass, R3 mid, R4 the slope resistor; t, m, l the fractions.
double PublishedGainDB(double R1, double R2, double R3, double R4, double C1, double C2, double C3, double t,
                       double m, double l, double f)
{
    const double b1 = t * C1 * R1 + m * C3 * R3 + l * (C1 * R2 + C2 * R2) + (C1 * R3 + C2 * R3);
    const double b2 = t * (C1 * C2 * R1 * R4 + C1 * C3 * R1 * R4) - m * m * (C1 * C3 * R3 * R3 + C2 * C3 * R3 * R3) +
                      m * (C1 * C3 * R1 * R3 + C1 * C3 * R3 * R3 + C2 * C3 * R3 * R3) +
                      l * (C1 * C2 * R1 * R2 + C1 * C2 * R2 * R4 + C1 * C3 * R2 * R4) +
                      l * m * (C1 * C3 * R2 * R3 + C2 * C3 * R2 * R3) +
                      (C1 * C2 * R1 * R3 + C1 * C2 * R3 * R4 + C1 * C3 * R3 * R4);
    const double b3 = l * m * (C1 * C2 * C3 * R1 * R2 * R3 + C1 * C2 * C3 * R2 * R3 * R4) -
                      m * m * (C1 * C2 * C3 * R1 * R3 * R3 + C1 * C2 * C3 * R3 * R3 * R4) +
                      m * (C1 * C2 * C3 * R1 * R3 * R3 + C1 * C2 * C3 * R3 * R3 * R4) + t * C1 * C2 * C3 * R1 * R3 * R4 -
                      t * m * C1 * C2 * C3 * R1 * R3 * R4 + t * l * C1 * C2 * C3 * R1 * R2 * R4;
    const double a1 = (C1 * R1 + C1 * R3 + C2 * R3 + C2 * R4 + C3 * R4) + m * C3 * R3 + l * (C1 * R2 + C2 * R2);
    const double a2 = m * (C1 * C3 * R1 * R3 - C2 * C3 * R3 * R4 + C1 * C3 * R3 * R3 + C2 * C3 * R3 * R3) +
                      l * m * (C1 * C3 * R2 * R3 + C2 * C3 * R2 * R3) - m * m * (C1 * C3 * R3 * R3 + C2 * C3 * R3 * R3) +
                      l * (C1 * C2 * R2 * R4 + C1 * C2 * R1 * R2 + C1 * C3 * R2 * R4 + C2 * C3 * R2 * R4) +
                      (C1 * C2 * R1 * R4 + C1 * C3 * R1 * R4 + C1 * C2 * R3 * R4 + C1 * C2 * R1 * R3 + C1 * C3 * R3 * R4 +
                       C2 * C3 * R3 * R4);
    const double a3 = l * m * (C1 * C2 * C3 * R1 * R2 * R3 + C1 * C2 * C3 * R2 * R3 * R4) -
                      m * m * (C1 * C2 * C3 * R1 * R3 * R3 + C1 * C2 * C3 * R3 * R3 * R4) +
                      m * (C1 * C2 * C3 * R3 * R3 * R4 + C1 * C2 * C3 * R1 * R3 * R3 - C1 * C2 * C3 * R1 * R3 * R4) +
                      l * C1 * C2 * C3 * R1 * R2 * R4 + C1 * C2 * C3 * R1 * R3 * R4;
    const std::complex<double> s(0, 2 * M_PI * f);
    return 20 * std::log10(std::abs((b3 * s * s * s + b2 * s * s + b1 * s) / (a3 * s * s * s + a2 * s * s + a1 * s + 1.0)));
}

TEST(PresetLibrary, ShipsEnoughPresetsOfEachFamilyAndAllOfThemLoad)
{
    const TPresetLibrary library = LoadPresetFolder(ShippedPresets);
    EXPECT_TRUE(library.Warnings.empty()) << library.Warnings.front();
    EXPECT_GE(library.Presets.size(), 24u);
    EXPECT_GE(library.ForPage(PageNamed("Fender")).size(), 8u);
    EXPECT_GE(library.ForPage(PageNamed("Marshall")).size(), 3u);
    EXPECT_GE(library.ForPage(PageNamed("Big muff")).size(), 3u);
    for (const TPreset &preset : library.Presets) {
        EXPECT_FALSE(preset.Origin.empty()) << preset.Name;
        EXPECT_FALSE(preset.Source.empty()) << preset.Name;
        EXPECT_EQ(&preset, library.Find(preset.Name)) << "names are unique";
    }
}

// Every Marshall-page preset, given the same ideal source and open load as the
// published function, reproduces it: the table's values went to the right
// components and this page's circuit is the published one.
TEST(PresetLibrary, MarshallPresetsFollowThePublishedTransferFunction)
{
    const TPresetLibrary library = LoadPresetFolder(ShippedPresets);
    for (const TPreset *preset : library.ForPage(PageNamed("Marshall"))) {
        TCircuit circuit;
        ApplyPreset(circuit, *preset);
        ASSERT_EQ(circuit.Active, PageNamed("Marshall"));
        circuit.Symbols.SetInfo("MG", "0.001");
        circuit.Symbols.SetInfo("MR5", "1e15");
        // The published function takes the bass fraction itself.
        circuit.Symbols.AddPot("MR3", PotLinear, circuit.Symbols.GetValue("MR3"));
        circuit.ResolutionStep = ResolutionHigh;
        const auto v = [&](const char *name) { return circuit.Symbols.GetValue(name); };
        for (const auto &[bass, mid, treble] : {std::array{20, 50, 80}, {80, 10, 30}, {50, 90, 50}}) {
            circuit.SetPosition(BuiltInControl::Bass, bass);
            circuit.SetPosition(BuiltInControl::Mid, mid);
            circuit.SetPosition(BuiltInControl::Treble, treble);
            TTrace live{};
            Recalculate(circuit, live);
            for (int k = 0; k < GridPoints; k += 37) {
                const double expected = PublishedGainDB(v("MR2"), v("MR3"), v("MR4"), v("MR1"), v("MC1"), v("MC2"),
                                                        v("MC3"), treble / 100.0, mid / 100.0, bass / 100.0,
                                                        GridFrequency(GridFirstStep + k));
                EXPECT_NEAR(live[k], expected, 0.01) << preset->Name << " at point " << k;
            }
        }
    }
}

TEST(PresetLibrary, ApplyingSetsEveryComponentOfThePageAndNothingElse)
{
    const TPresetLibrary library = LoadPresetFolder(ShippedPresets);
    const TPreset *twin = library.Find("twin reverb aa270");
    ASSERT_NE(twin, nullptr);
    TCircuit circuit;
    circuit.Active = PageNamed("Vox");
    circuit.Symbols.SetInfo("FR5", "47");  // left out by the file: back to the default
    circuit.Symbols.SetInfo("MR1", "123"); // another page: untouched
    ApplyPreset(circuit, *twin);
    EXPECT_EQ(circuit.Active, PageNamed("Fender"));
    EXPECT_EQ(circuit.Symbols.GetValue("FC1"), 120e-12);
    EXPECT_EQ(circuit.Symbols.GetValue("FR5"), 1000000);
    EXPECT_EQ(circuit.Symbols.GetValue("MR1"), 123);
}

std::string ParseError(const std::string &text)
{
    try {
        ParsePreset(text);
    } catch (const CorvantaError &error) {
        return error.what();
    }
    return "accepted";
}

TEST(PresetFile, UnusableTextIsRefusedWithItsReason)
{
    const std::string head = "Name=X\nTab=Fender\nOrigin=o\nSource=s\n";
    const std::pair<std::string, std::string> cases[] = {
        {"Tab=Fender\nOrigin=o\nSource=s\n", "it has no Name"},
        {"Name=X\nTab=Fender\nOrigin=o\n", "it has no Source"},
        {"Name=X\nTab=fender\nOrigin=o\nSource=s\n", "\"fender\" is not a page"},
        {head + "FR1=1k\nfr1=2k\n", "\"fr1\" is given twice"},
        {head + "MR1=1k\n", "\"MR1\" is not a component of the Fender page"},
        {head + "FR9=1k\n", "\"FR9\" is not a component of the Fender page"},
        {head + "FR1=1q\n", "the value of FR1 does not convert"},
        {head + "FR2=250k|x\n", "the value of FR2 does not convert"},
        {head + "just words\n", "line 5 is not key=value"},
        {head + "FC1=0\n", "its values give no finite curve"},
        // What menus, the status bar and --list-presets show.
        {"Name=A\tB\nTab=Fender\nOrigin=o\nSource=s\n", "its Name is not one line of printable text: \"A\\tB\""},
        {"Name=\x1B[2J\nTab=Fender\nOrigin=o\nSource=s\n", "its Name is not one line of printable text"},
        {std::string("Name=A\0B\nTab=Fender\nOrigin=o\nSource=s\n", 38), "its Name is not one line"},
        {"Name=\xFF\xFE\nTab=Fender\nOrigin=o\nSource=s\n", "its Name is not one line"},
        {"Name=abc\xE2\x80\xAEgpj.exe\nTab=Fender\nOrigin=o\nSource=s\n", "its Name is not one line"},
        {"Name=" + std::string(81, 'x') + "\nTab=Fender\nOrigin=o\nSource=s\n", "its Name is longer than 80 characters"},
        {"Name=X\nTab=Fender\nOrigin=\x1B]0;title\x07\nSource=s\n", "its Origin is not one line"},
        // The values of real parts.
        {head + "FR1=-100k\n", "FR1 on the Fender page is -100 k"},
        {head + "FR2=250k|257\n", "the value of FR2 does not convert: '257' is not a taper number from 0 to 255"},
    };
    for (const auto &[text, reason] : cases)
        EXPECT_EQ(ParseError(text).rfind(reason, 0), 0u) << text << " gave: " << ParseError(text);

    for (const std::string &name : {std::string(80, 'x'), std::string("\xC3\x9C" "berdrive 100 \xE2\x84\xA6")})
        EXPECT_EQ(ParsePreset("Name=" + name + "\nTab=Fender\nOrigin=o\nSource=s\n").Name, name);
    EXPECT_EQ(ParsePreset("Name=  Twin  \nTab=Fender\nOrigin=o\nSource=s\n").Name, "Twin");
}

TEST(PresetFile, CommentsCarriageReturnsAndEngineeringNotationAreRead)
{
    const TPreset preset =
        ParsePreset("# a comment\r\n\r\nName=Muff\r\nTab=Big muff\r\nOrigin=o\r\nSource=s\r\nPC1=3.9n\r\nPR3=50k|1\r\n");
    EXPECT_EQ(preset.Page, PageNamed("Big muff"));
    EXPECT_EQ(preset.Components.size(), TCatalogue().Page(PageNamed("Big muff")).Components.size());
    TCircuit circuit;
    ApplyPreset(circuit, preset);
    EXPECT_DOUBLE_EQ(circuit.Symbols.GetValue("PC1"), 3.9e-9);
    EXPECT_EQ(circuit.Symbols.GetPotType("PR3"), PotLogA);
}

TEST(PresetFolder, EachBadFileIsLeftOutWithOneWarningAndTheOthersLoad)
{
    const fs::path folder = fs::temp_directory_path() / ("corvanta-presets-" + std::to_string(::getpid()));
    fs::create_directories(folder / "unreadable.cvp");
    auto write = [&](const char *file, const std::string &text) { std::ofstream(folder / file) << text; };
    write("a-good.cvp", "Name=Good\nTab=Vox\nOrigin=o\nSource=s\nVR1=47k\n");
    write("b-same-name.cvp", "Name=GOOD\nTab=Vox\nOrigin=o\nSource=s\n");
    write("c-bad-value.cvp", "Name=Bad\nTab=Vox\nOrigin=o\nSource=s\nVR1=lots\n");
    write("not-a-preset.txt", "anything");
    write("d-huge.cvp", "Name=Huge\nTab=Vox\nOrigin=o\nSource=s\n");
    fs::resize_file(folder / "d-huge.cvp", 17u << 20);
    // A named pipe whose writer never ends must not hold up the start.
    ASSERT_EQ(::mkfifo((folder / "e-pipe.cvp").c_str(), 0600), 0);
    const int writer = ::open((folder / "e-pipe.cvp").c_str(), O_RDWR);
    ASSERT_GE(writer, 0);

    ::alarm(20); // a wait ends the test instead of hanging it
    const TPresetLibrary library = LoadPresetFolder(folder);
    ::alarm(0);
    ::close(writer);
    ASSERT_EQ(library.Presets.size(), 1u);
    EXPECT_EQ(library.Presets[0].Name, "Good");
    ASSERT_EQ(library.Warnings.size(), 5u);
    EXPECT_EQ(library.Warnings[0],
              "Preset b-same-name.cvp left out: another preset is already called \"GOOD\" (in a-good.cvp)");
    EXPECT_NE(library.Warnings[1].find("c-bad-value.cvp left out: the value of VR1"), std::string::npos);
    EXPECT_NE(library.Warnings[2].find("d-huge.cvp left out: Cannot open file"), std::string::npos);
    EXPECT_NE(library.Warnings[2].find("too large"), std::string::npos);
    EXPECT_NE(library.Warnings[3].find("e-pipe.cvp left out: Cannot open file"), std::string::npos);
    EXPECT_NE(library.Warnings[3].find("not a regular file"), std::string::npos);
    EXPECT_NE(library.Warnings[4].find("unreadable.cvp left out"), std::string::npos);

    const TPresetLibrary missing = LoadPresetFolder(folder / "nowhere");
    EXPECT_TRUE(missing.Presets.empty());
    EXPECT_EQ(missing.Warnings.size(), 1u);
    fs::remove_all(folder);
}

TEST(PresetFolder, FoundBesideTheProgramBeforeTheInstalledFolder)
{
    const fs::path root = fs::temp_directory_path() / ("corvanta-install-" + std::to_string(::getpid()));
    fs::create_directories(root / "share/corvanta/presets");
    fs::create_directories(root / "bin");
    EXPECT_EQ(FindPresetFolder(root / "bin"), root / "share/corvanta/presets");
    fs::create_directories(root / "bin/presets");
    EXPECT_EQ(FindPresetFolder(root / "bin"), root / "bin/presets");
    EXPECT_EQ(FindPresetFolder(root / "elsewhere"), std::nullopt);
    fs::remove_all(root);
}

} // namespace
