// A netlist as a page of the circuit: added, read again from edited text,
// its values and knobs written back into the text, its knobs its own.

#include <gtest/gtest.h>

#include "document/Catalogue.h"
#include "document/CircuitFile.h"
#include "document/ComponentSetting.h"
#include "netlist/NetlistError.h"
#include "document/NetlistPage.h"

using namespace cva;

namespace {

const std::string Tilt = "Tilt\n"
                         "V1 in 0 AC 1\n"
                         "R1 in a 10k ; series\n"
                         "Ptilt a w 0 100k control=Tilt\n"
                         "C1 w out 22n\n"
                         "R2 out 0 100k\n"
                         ".end\n";

int AddTilt(TCircuit &circuit, const std::string &path)
{
    TNetlistCircuit netlist = ReadNetlist(Tilt, "tilt.cir");
    netlist.Page.NetlistPath = path;
    return AddNetlistPage(circuit, std::move(netlist));
}

} // namespace

TEST(NetlistPage, ASecondFileIsNumberedAndTheSameFileTakesItsPlace)
{
    TCircuit circuit;
    const int first = AddTilt(circuit, "/a/tilt.cir");
    const int second = AddTilt(circuit, "/b/tilt.cir");
    EXPECT_EQ(circuit.Pages().Page(first).TabCaption, "Tilt");
    EXPECT_EQ(circuit.Pages().Page(second).TabCaption, "Tilt 2");
    EXPECT_EQ(AddTilt(circuit, "/a/tilt.cir"), first);
    EXPECT_EQ(circuit.Pages().Count(), TCatalogue().Count() + 2);
}

TEST(NetlistPage, UnreadableTextChangesNothing)
{
    TCircuit circuit;
    const int page = AddTilt(circuit, "/a/tilt.cir");
    const TCircuit before = circuit;
    std::string broken = Tilt;
    broken.replace(broken.find("22n"), 3, "n22");
    try {
        ReplaceNetlistText(circuit, page, broken);
        FAIL() << "read an unreadable value";
    } catch (const TNetlistError &error) {
        EXPECT_EQ(error.Line, 5);
        EXPECT_EQ(std::string(error.what()).rfind("tilt.cir:5:", 0), 0u) << error.what();
    }
    EXPECT_EQ(circuit, before);
}

TEST(NetlistPage, ValuesAndKnobsGoBackIntoTheTextKeepingTheRest)
{
    TCircuit circuit;
    const int page = AddTilt(circuit, "/a/tilt.cir");
    WriteBackNetlistText(circuit);
    EXPECT_EQ(circuit.ActiveInfo().NetlistText, Tilt) << "nothing changed, nothing rewritten";
    circuit.Symbols.Page(page).SetInfo("R1", "22000");
    circuit.SetPosition(0, 80);
    WriteBackNetlistText(circuit);
    const std::string &text = circuit.ActiveInfo().NetlistText;
    EXPECT_NE(text.find("R1 in a 22k ; series\n"), std::string::npos) << text;
    EXPECT_NE(text.find("*corvanta: control Tilt=80\n"), std::string::npos) << text;
    // The text reads back as the page it says.
    TCircuit again;
    ReplaceNetlistText(again, AddTilt(again, "/a/tilt.cir"), text);
    EXPECT_EQ(again.Position(0), 80);
    EXPECT_DOUBLE_EQ(again.ActiveValues().GetValue("R1"), 22000);
}

// A control may stand where the values it sets leave no curve; the text
// written back there must read again, the computation refusing it instead.
TEST(NetlistPage, ATextWrittenBackAtAnyPositionReadsAgain)
{
    for (const std::string value : {"{22n*depth}", "{22n*(depth-0.2)}", "{22n/depth}"}) {
        TCircuit circuit;
        AddNetlistPage(circuit, ReadNetlist("Depth\nV1 in 0 AC 1\nR1 in out 10k\n.param depth=0.5\nC1 out 0 " +
                                                value + "\n", "depth.cir"));
        circuit.SetPosition(0, 0);
        WriteBackNetlistText(circuit);
        TCircuit again;
        EXPECT_NO_THROW(AddNetlistPage(again, ReadNetlist(circuit.ActiveInfo().NetlistText, "depth.cir"))) << value;
        EXPECT_EQ(again.Position(0), 0) << value;
        TTrace live{};
        EXPECT_THROW(Recalculate(again, live), CorvantaError) << value;
    }
}

TEST(NetlistPage, ANetlistsKnobsAreItsOwn)
{
    TCircuit circuit;
    circuit.SetPosition(BuiltInControl::Bass, 10);
    const int page = AddTilt(circuit, "/a/tilt.cir");
    EXPECT_EQ(circuit.Position(0), 50);
    circuit.SetPosition(0, 90);
    circuit.Active = PageNamed("Fender");
    EXPECT_EQ(circuit.Position(BuiltInControl::Bass), 10);
    circuit.Active = page;
    EXPECT_EQ(circuit.Position(0), 90);
}

TEST(NetlistPage, TheCircuitFileHoldsNoneOfANetlistsParts)
{
    TCircuit circuit;
    AddTilt(circuit, "/a/tilt.cir");
    circuit.Active = PageNamed("Fender");
    const std::string file = CircuitFileText(circuit);
    EXPECT_EQ(file.rfind("Tab=Fender\r\n", 0), 0u);
    for (const char *part : {"\nR1=", "\nC1=", "\nPtilt="})
        EXPECT_EQ(file.find(part), std::string::npos) << part;
    EXPECT_NE(file.find("\nFR1="), std::string::npos);
}

TEST(NetlistPage, ASettingChangesThePartOfThePageShown)
{
    // The Big Muff page has a PR1 too.
    TCircuit circuit;
    const int page = AddNetlistPage(circuit, ReadNetlist("Pots\nV1 in 0 AC 1\nPR1 in out 0 10k\nR1 out 0 1k\n", "p.cir"));
    const int bigMuff = PageNamed("Big muff");
    ApplyComponentSetting(circuit, "PR1=47k|1");
    EXPECT_EQ(circuit.Symbols.Page(page).GetValue("PR1"), 47000);
    EXPECT_EQ(circuit.Symbols.Page(page).GetPotType("PR1"), PotLogA);
    EXPECT_EQ(circuit.Symbols.Page(bigMuff).GetValue("PR1"), 39000);
    circuit.Active = PageNamed("Fender");
    ApplyComponentSetting(circuit, "PR1=33k"); // its resistor
    EXPECT_EQ(circuit.Symbols.Page(bigMuff).GetValue("PR1"), 33000);
    EXPECT_EQ(circuit.Symbols.Page(page).GetValue("PR1"), 47000);
}
