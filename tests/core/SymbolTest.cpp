// Component symbols (text forms, edit through the dialogs) and the symbol
// list with its taper laws.

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "components/SymbolList.h"
#include "components/TaperLaw.h"
#include "numerics/Error.h"

namespace {

using namespace cva;

std::string ErrorOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const CorvantaError &error) {
        return error.what();
    }
    return "(no error)";
}

TEST(SymbolInfo, WritesTheFileTextForm)
{
    EXPECT_EQ(TSymbolResistor(100000).GetInfo(), "100000");
    EXPECT_EQ(TSymbolCapacitor(4.7e-11).GetInfo(), "4.7E-11");
    EXPECT_EQ(TSymbolGenerator(38000).GetInfo(), "38000");
    EXPECT_EQ(TSymbolInductor(6, 600).GetInfo(), "6|600");
    EXPECT_EQ(TSymbolPot(PotLogA, 250000).GetInfo(), "250000|1");
    EXPECT_EQ(TSymbolPot(255, 1e6).GetInfo(), "1000000|255");
    EXPECT_EQ(TSymbolCapacitor(4.7e-8).GetInfo(','), "4,7E-8");
    EXPECT_EQ(TSymbolInductor(0.5, 1.5).GetInfo(','), "0,5|1,5");
    EXPECT_EQ(TSymbolCapacitor(2.5e-10).GetCaption(), "250p");
    EXPECT_EQ(TSymbolInductor(6, 600).GetCaption(), "6");
}

TEST(SymbolInfo, TypeNamesAndSecondValue)
{
    EXPECT_EQ(TSymbolResistor(1).TypeName(), "Resistor");
    EXPECT_EQ(TSymbolCapacitor(1).TypeName(), "Capacitor");
    EXPECT_EQ(TSymbolGenerator(1).TypeName(), "Generator");
    EXPECT_EQ(TSymbolInductor(1, 2).TypeName(), "Inductor");
    EXPECT_EQ(TSymbolPot(0, 1).TypeName(), "Potentiometer");
    EXPECT_EQ(TSymbolCapacitor(1e-9).GetValueR(), 0);
    EXPECT_EQ(TSymbolPot(1, 5).GetValueR(), 0);
    EXPECT_EQ(TSymbolInductor(1, 2).GetValueR(), 2);
}

TEST(SymbolInfo, ReadsTheTextForms)
{
    TSymbolPot pot(PotLinear, 1);
    pot.SetInfo("250000|1");
    EXPECT_EQ(pot.GetValue(), 250000);
    EXPECT_EQ(pot.GetPotType(), PotLogA);
    // No wrap round to the low eight bits: refused, and nothing changes.
    EXPECT_THROW(pot.SetInfo("7|258"), CorvantaError);
    EXPECT_EQ(pot.GetValue(), 250000);
    EXPECT_EQ(pot.GetPotType(), PotLogA);
    pot.SetInfo("5|3|9"); // further parts are ignored
    EXPECT_EQ(pot.GetValue(), 5);
    EXPECT_EQ(pot.GetPotType(), 3);
    pot.SetInfo("6|AUDIO15"); // a law's name in any case
    EXPECT_EQ(pot.GetPotType(), PotAudio15);
    pot.SetInfo("7\r\n0");
    EXPECT_EQ(pot.GetValue(), 7);
    EXPECT_EQ(pot.GetPotType(), 0);
    pot.SetInfo("8|2|"); // a break at the very end starts no further part
    EXPECT_EQ(pot.GetPotType(), 2);

    TSymbolInductor inductor(1, 1);
    inductor.SetInfo("6|600");
    EXPECT_EQ(inductor.GetValue(), 6);
    EXPECT_EQ(inductor.GetValueR(), 600);
    inductor.SetInfo("0,5|1,25", ',');
    EXPECT_EQ(inductor.GetValue(), 0.5);
    EXPECT_EQ(inductor.GetValueR(), 1.25);

    TSymbolCapacitor capacitor(1);
    capacitor.SetInfo("4,7E-8", ',');
    EXPECT_EQ(capacitor.GetValue(), 4.7e-8);
    capacitor.SetInfo("2.2E-8", ',');
    EXPECT_EQ(capacitor.GetValue(), 2.2e-8);
}

TEST(SymbolInfo, RejectedTextChangesNothing)
{
    TSymbolPot pot(PotLogA, 250000);
    EXPECT_EQ(ErrorOf([&] { pot.SetInfo("1M|1"); }), "'1M' is not a valid floating point value");
    EXPECT_EQ(ErrorOf([&] { pot.SetInfo("100000"); }), "List index out of bounds (1)");
    EXPECT_EQ(ErrorOf([&] { pot.SetInfo("100000|x"); }), "'x' is not a valid integer value");
    EXPECT_EQ(ErrorOf([&] { pot.SetInfo("100000|"); }), "List index out of bounds (1)");
    EXPECT_EQ(ErrorOf([&] { pot.SetInfo(""); }), "'' is not a valid floating point value");
    EXPECT_EQ(pot.GetValue(), 250000);
    EXPECT_EQ(pot.GetPotType(), PotLogA);

    TSymbolInductor inductor(6, 600);
    EXPECT_EQ(ErrorOf([&] { inductor.SetInfo("10"); }), "List index out of bounds (1)");
    EXPECT_EQ(ErrorOf([&] { inductor.SetInfo("10|1k"); }), "'1k' is not a valid floating point value");
    EXPECT_EQ(inductor.GetValue(), 6);
    EXPECT_EQ(inductor.GetValueR(), 600);

    TSymbolResistor resistor(100);
    EXPECT_EQ(ErrorOf([&] { resistor.SetInfo("100k"); }), "'100k' is not a valid floating point value");
    EXPECT_EQ(ErrorOf([&] { resistor.SetInfo("5|6"); }), "'5|6' is not a valid floating point value");
    EXPECT_EQ(resistor.GetValue(), 100);
}

// Shows nothing: records what the symbol put into the dialog and answers
// with the configured entries.
class TFakeDialogs : public TEditDialogs {
public:
    bool Confirm = true;
    std::optional<std::string> Source, Res;
    std::optional<int> Style;

    TElementKind ShownKind{};
    TDialogFields Shown;
    int Calls = 0;

    bool Execute(TElementKind kind, TDialogFields &fields) override
    {
        ++Calls;
        ShownKind = kind;
        Shown = fields;
        if (Source)
            fields.Source = *Source;
        if (Res)
            fields.Res = *Res;
        if (Style)
            fields.Style = *Style;
        return Confirm;
    }
};

TEST(SymbolEdit, SingleValueKinds)
{
    TFakeDialogs dialogs;
    TSymbolResistor resistor(100000);
    dialogs.Source = "4,7k";
    resistor.Edit(dialogs, ',');
    EXPECT_EQ(dialogs.ShownKind, TElementKind::Resistor);
    EXPECT_EQ(dialogs.Shown.Source, "100k");
    EXPECT_EQ(resistor.GetValue(), 4700);

    TSymbolCapacitor capacitor(2.2e-8);
    dialogs.Source = "47n";
    dialogs.Confirm = false;
    capacitor.Edit(dialogs, '.');
    EXPECT_EQ(dialogs.ShownKind, TElementKind::Capacitor);
    EXPECT_EQ(capacitor.GetValue(), 2.2e-8) << "cancel changed the value";

    dialogs.Confirm = true;
    dialogs.Source = "47 nF";
    capacitor.Edit(dialogs, '.');
    EXPECT_EQ(capacitor.GetValue(), 2.2e-8) << "an unreadable entry changed the value";

    TSymbolGenerator generator(38000);
    dialogs.Source = "1.3k";
    generator.Edit(dialogs, '.');
    EXPECT_EQ(dialogs.ShownKind, TElementKind::Generator);
    EXPECT_EQ(dialogs.Shown.Source, "38k");
    EXPECT_EQ(generator.GetValue(), 1300);
}

TEST(SymbolEdit, InductorTakesBothValuesOrNeither)
{
    TFakeDialogs dialogs;
    TSymbolInductor inductor(6, 600);
    dialogs.Source = "10";
    dialogs.Res = "abc";
    inductor.Edit(dialogs, '.');
    EXPECT_EQ(dialogs.ShownKind, TElementKind::Inductor);
    EXPECT_EQ(dialogs.Shown.Source, "6");
    EXPECT_EQ(dialogs.Shown.Res, "600");
    EXPECT_EQ(inductor.GetValue(), 6);
    EXPECT_EQ(inductor.GetValueR(), 600);

    dialogs.Source = "x";
    dialogs.Res = "1k";
    inductor.Edit(dialogs, '.');
    EXPECT_EQ(inductor.GetValue(), 6);
    EXPECT_EQ(inductor.GetValueR(), 600);

    dialogs.Source = "10";
    dialogs.Res = "1.2k";
    inductor.Edit(dialogs, '.');
    EXPECT_EQ(inductor.GetValue(), 10);
    EXPECT_EQ(inductor.GetValueR(), 1200);
}

TEST(SymbolEdit, PotentiometerTaperChoice)
{
    TFakeDialogs dialogs;
    // An unknown number from a file works as Linear, so the dialog offers that.
    TSymbolPot pot(200, 250000);
    dialogs.Source = "250k";
    pot.Edit(dialogs, '.');
    EXPECT_EQ(dialogs.ShownKind, TElementKind::Pot);
    EXPECT_EQ(dialogs.Shown.Style, PotLinear);
    EXPECT_EQ(pot.GetPotType(), PotLinear);

    TSymbolPot audio(PotRevAudio20, 250000);
    dialogs.Style = PotRevAudio20;
    audio.Edit(dialogs, '.');
    EXPECT_EQ(dialogs.Shown.Style, PotRevAudio20);
    EXPECT_EQ(audio.GetPotType(), PotRevAudio20);

    dialogs.Source = "1M";
    dialogs.Style = 0;
    pot.Edit(dialogs, '.');
    EXPECT_EQ(pot.GetValue(), 1e6);
    EXPECT_EQ(pot.GetPotType(), PotLinear);

    // An unreadable value keeps the taper as well.
    dialogs.Source = "1Meg";
    dialogs.Style = 1;
    pot.Edit(dialogs, '.');
    EXPECT_EQ(pot.GetValue(), 1e6);
    EXPECT_EQ(pot.GetPotType(), PotLinear);

    dialogs.Source = "500k";
    dialogs.Confirm = false;
    pot.Edit(dialogs, '.');
    EXPECT_EQ(pot.GetValue(), 1e6);
    EXPECT_EQ(pot.GetPotType(), PotLinear);
}

TEST(SymbolEdit, UnchangedTextRereadsTheCaption)
{
    // The caption keeps 15 digits; confirming it unchanged stores that value.
    TFakeDialogs dialogs;
    TSymbolResistor resistor(123456.78901234567);
    resistor.Edit(dialogs, '.');
    EXPECT_EQ(dialogs.Shown.Source, "123.456789012346k");
    EXPECT_EQ(resistor.GetValue(), 123456.789012346);
}

TEST(SymbolList, LookupIgnoresCaseAndKeepsNamesSorted)
{
    TSymbolList list;
    list.AddResistor("BR1", 1);
    list.AddGenerator("BG", 2);
    list.AddCapacitor("BC4", 3e-9);
    list.AddResistor("br1", 5); // same name: replaces the symbol
    EXPECT_EQ(list.Count(), 3u);
    std::vector<std::string> names;
    for (const auto &entry : list)
        names.push_back(entry.Name);
    EXPECT_EQ(names, (std::vector<std::string>{"BC4", "BG", "BR1"}));
    EXPECT_EQ(list.GetValue("Br1"), 5);
    EXPECT_EQ(list.GetValue("bc4"), 3e-9);
    EXPECT_TRUE(list.Contains("bg"));
    EXPECT_FALSE(list.Contains("BG "));
    EXPECT_FALSE(list.Contains(""));

    list.AddPot("BR1", PotLogB, 10); // a different kind replaces it as well
    EXPECT_EQ(list.GetPotType("BR1"), PotLogB);
}

TEST(SymbolList, ErrorsNameTheSymbolAndOperation)
{
    TSymbolList list;
    list.AddResistor("FR1", 100000);
    list.AddPot("FR2", 3, 250000);
    TFakeDialogs dialogs;
    EXPECT_EQ(ErrorOf([&] { list.GetValue("FR9"); }), "Unhandled symbol FR9 in TSymbolList::GetValue");
    EXPECT_EQ(ErrorOf([&] { list.GetValueR("FR9"); }), "Unhandled symbol FR9 in TSymbolList::GetValueR");
    EXPECT_EQ(ErrorOf([&] { list.GetCaption("X"); }), "Unhandled symbol X in TSymbolList::GetCaption");
    EXPECT_EQ(ErrorOf([&] { list.SetInfo("X", "1"); }), "Unhandled symbol X in TSymbolList::SetInfo");
    EXPECT_EQ(ErrorOf([&] { list.Edit("X", dialogs, '.'); }), "Unhandled symbol X in TSymbolList::Edit");
    EXPECT_EQ(ErrorOf([&] { list.GetPotType("X"); }), "Unhandled symbol X in TSymbolList::GetPotType");
    EXPECT_EQ(ErrorOf([&] { list.GetPotFraction("FR1", 50, 100); }),
              "FR1 is not of type pot in TSymbolList::GetPotType");
    EXPECT_EQ(dialogs.Calls, 0);
}

TEST(SymbolList, EditAndSetInfoReachTheNamedSymbol)
{
    TSymbolList list;
    list.AddResistor("FR1", 100000);
    list.AddResistor("FR5", 1e6);
    TFakeDialogs dialogs;
    dialogs.Source = "220k";
    list.Edit("fr1", dialogs, '.');
    EXPECT_EQ(list.GetValue("FR1"), 220000);
    list.SetInfo("FR5", "470000");
    EXPECT_EQ(list.GetValue("FR5"), 470000);
    EXPECT_EQ(list.GetCaption("FR5"), "470k");
    EXPECT_EQ(list.GetCaption("FR1", ','), "220k");
}

TEST(SymbolList, CopiesAreIndependent)
{
    TSymbolList original;
    original.AddPot("FR2", PotLogA, 250000);
    TSymbolList copy = original;
    copy.SetInfo("FR2", "1000|2");
    EXPECT_EQ(original.GetValue("FR2"), 250000);
    EXPECT_EQ(original.GetPotType("FR2"), PotLogA);
    original = copy;
    copy.SetInfo("FR2", "5|0");
    EXPECT_EQ(original.GetValue("FR2"), 1000);
}

struct TaperCase {
    std::uint8_t Taper;
    const char *Label;
    double Fractions[5]; // at 0, 25, 50, 75 and 100
};

TEST(PotTaper, FractionsAtQuarterPositions)
{
    const TaperCase cases[] = {
        {PotLinear, "Linear", {0, 0.25, 0.5, 0.75, 1}},
        {PotLogA, "Log A", {0, 0.15, 0.3, 0.65, 1}},
        {PotLogB, "Log B", {0, 0.05, 0.1, 0.55, 1}},
        // Unknown tapers follow the linear law and say so in their label.
        // Mid travel lands exactly on the named share; the start is flat.
        {PotAudio10, "Audio 10%", {0, 0.1 * 0.21 / 0.46, 0.1, 0.55, 1}},
        {PotAudio15, "Audio 15%", {0, 0.15 * 0.21 / 0.46, 0.15, 0.575, 1}},
        {PotAudio20, "Audio 20%", {0, 0.2 * 0.21 / 0.46, 0.2, 0.6, 1}},
        {PotRevAudio15, "Reverse audio 15%", {0, 0.425, 0.85, 1 - 0.15 * 0.21 / 0.46, 1}},
        {9, "Linear (9)", {0, 0.25, 0.5, 0.75, 1}},
        {255, "Linear (255)", {0, 0.25, 0.5, 0.75, 1}},
    };
    for (const TaperCase &c : cases) {
        TSymbolList list;
        list.AddPot("P", c.Taper, 250000);
        EXPECT_EQ(list.GetPotTypeLabel("P"), c.Label);
        for (int i = 0; i < 5; ++i)
            EXPECT_NEAR(list.GetPotFraction("P", i * 25, 100), c.Fractions[i], 2e-16)
                << "taper " << int(c.Taper) << " at " << i * 25;
    }
}

TEST(PotTaper, SectionsAddUpAndGrowWithTheSlider)
{
    for (std::uint8_t taper = 0; taper <= LastKnownTaper; ++taper) {
        TSymbolList list;
        list.AddPot("P", taper, 250000);
        double previous = 0;
        for (int position = 0; position <= 100; ++position) {
            const double part = list.GetPotPart("P", position, 100);
            const double rest = list.GetPotRest("P", position, 100);
            EXPECT_NEAR(part + rest, 250002, 1e-9);
            EXPECT_GE(part, 1);
            EXPECT_GE(rest, 1);
            // The audio laws' flat zone holds the section at its 1 ohm.
            EXPECT_GE(part, previous) << "taper " << int(taper) << " at " << position;
            previous = part;
        }
        EXPECT_EQ(list.GetPotPart("P", 0, 100), 1);
        EXPECT_EQ(list.GetPotRest("P", 0, 100), 250001);
        EXPECT_EQ(list.GetPotPart("P", 100, 100), 250001);
        EXPECT_EQ(list.GetPotRest("P", 100, 100), 1);
    }
    TSymbolList list;
    list.AddPot("FR2", PotLogA, 250000);
    EXPECT_NEAR(list.GetPotPart("FR2", 50, 100), 75001, 1e-9);
    EXPECT_NEAR(list.GetPotRest("FR2", 50, 100), 175001, 1e-9);
    EXPECT_NEAR(list.GetPotPart("FR2", 75, 100), 162501, 1e-9);
    EXPECT_NEAR(list.GetPotRest("FR2", 75, 100), 87501, 1e-9);
}

} // namespace

namespace cva {
TEST(PotTaper, NamesReadBackToTheirLaws)
{
    for (std::uint8_t taper = 0; taper <= LastKnownTaper; ++taper)
        EXPECT_EQ(TaperFromName(TaperName(taper)), taper);
    EXPECT_EQ(TaperFromName("RevAudio10"), PotRevAudio10);
    for (const char *name : {"", "audio", "audio25", "audio15x", "log"})
        EXPECT_EQ(TaperFromName(name), std::nullopt) << name;
    EXPECT_EQ(TaperName(9), "");
}
} // namespace cva
