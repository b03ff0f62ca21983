// The netlist language: values, expressions, the errors that name their
// line, and netlists (examples and generated ones) against ngspice.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "document/Netlist.h"
#include "models/NodalEngine.h"
#include "netlist/Expression.h"
#include "netlist/NetlistError.h"
#include "document/NetlistPage.h"
#include "netlist/NetlistWriter.h"
#include "document/SpiceExport.h"
#include "netlist/SpiceNumber.h"
#include "NgspiceRun.h"

namespace {

using namespace cva;

constexpr double GainToleranceDB = 1e-5;
constexpr double ComparedAboveDB = -120;

TEST(Netlist, ValuesAsSpiceWritesThem)
{
    const struct {
        const char *Text;
        double Value;
    } cases[] = {{"4k7", 4700},     {"2n2", 2.2e-9},   {"22nF", 22e-9},  {"100kOhm", 1e5}, {"1M", 1e-3},
                 {"1MEG", 1e6},     {"2.2meg", 2.2e6}, {"10u", 1e-5},    {"1e3", 1e3},     {"1.5e-3k", 1.5},
                 {"470p", 470e-12}, {"3f", 3e-15},     {"-1k", -1000},   {"1G", 1e9},      {"6.8K", 6800},
                 {"100n", 1e-7},    {"4.7n", 4.7e-9},  {"1e-2meg", 1e4}};
    // Exactly the double nearest to the decimal written, as the built-in pages' values need.
    for (const auto &c : cases) {
        const auto value = ParseSpiceValue(c.Text);
        ASSERT_TRUE(value) << c.Text;
        EXPECT_EQ(*value, c.Value) << c.Text;
    }
    for (const char *bad : {"", "k", "abc", "1k 2", "--1", "1.2.3"})
        EXPECT_FALSE(ParseSpiceValue(bad)) << bad;
    for (double value : {250e3, 4.7e-9, 1e6, 0.1, 1.0 / 3, 12.5, 0.0, 2.2e-12, 6.8e3})
        EXPECT_EQ(ParseSpiceValue(FormatSpiceValue(value)), value) << FormatSpiceValue(value);
    EXPECT_EQ(FormatSpiceValue(250e3), "250k");
    EXPECT_EQ(FormatSpiceValue(1.5e6), "1.5meg");
}

TEST(Netlist, ExpressionsAsNgspiceEvaluatesThem)
{
    const struct {
        const char *Text;
        double Value;
    } cases[] = {{"1+2*3", 7},
                 {"2^3^2", 512},
                 {"2**3*2", 16},
                 {"-2^2", -4},
                 {"(1<2)+(2>=3)+(a==0.25)+(a!=1)", 3},
                 {"a>0.2 ? 10 : 20", 10},
                 {"a>0.3 ? 10 : a>0.2 ? 20 : 30", 20},
                 {"sqrt(16)+log(exp(2))+log10(1k)+pow(2,10)", 1033},
                 {"min(1,2)+max(1,2)+abs(-3)", 6},
                 {"250k*(1-A)+1", 187501},
                 {"10/4-1", 1.5},
                 {"!(a>1) && (1||0)", 1}};
    for (const auto &c : cases) {
        const double value = TExpression::Parse(c.Text).Evaluate([](std::string_view name) {
            EXPECT_EQ(name, "a");
            return 0.25;
        });
        EXPECT_NEAR(value, c.Value, 1e-12 * std::fabs(c.Value)) << c.Text;
    }
    for (const std::string &bad : std::vector<std::string>{"1+", "(1", "foo(1)", "min(1)", "1 2", "2*/3",
                                                            std::string(100000, '(') + "1", std::string(100000, '-') + "1",
                                                            [] {
                                                                std::string sum = "1";
                                                                for (int i = 0; i < 300000; ++i)
                                                                    sum += "+1";
                                                                return sum;
                                                            }()})
        EXPECT_THROW(TExpression::Parse(bad), CorvantaError) << bad.substr(0, 20);
}

TEST(Netlist, EveryErrorNamesItsLine)
{
    const std::string head = "title\nV1 in 0 AC 1\nR1 in out 1k\n";
    const struct {
        std::string Text;
        int Line;
        std::string Says;
    } cases[] = {
        {head + "X1 out 0 sub\n", 4, "unknown element X1"},
        {head + "Q1 out 0 0 npn\n", 4, "unknown element Q1"},
        {head + std::string(3000000, 'X') + "\n", 4,
         "unknown element " + std::string(60, 'X') + "... a netlist here holds only"},
        {head + "\x1B[2J\x07\n", 4, "unknown element \\x1B[2J\\x07:"},
        {head + "R2 out 0\n", 4, "R2 needs two nodes and a value"},
        {head + "C1 out 0 abc\n", 4, "value of C1 cannot be read"},
        {head + "C1 out 0 {1n*}\n", 4, "value of C1"},
        {head + "r1 out 0 1k\n", 4, "duplicate name r1 (first on line 3)"},
        {head + "C{b} out 0 1n\n", 4, "the name C{b} may not hold braces or quotes"},
        {head + "P1 out 'w' 0 10k\n", 4, "the node 'w' may not hold braces or quotes"},
        {head + "V2 out 0 AC 1\n", 4, "second source V2"},
        {"title\nR1 in out 1k\nR2 out 0 1k\n", 3, "no source"},
        {"V1 in 0 AC 1\nR1 in out 1k\nR2 out 0 1k\n", 1, "its first line is its title, as in SPICE, so the source V1"},
        {"title\nV1 in 0 AC 1\nR1 in a 1k\nR2 a 0 1k\n", 4, "names no output"},
        {head + "P1 out w 0 10k logC\n", 4, "unknown taper \"logC\" of the pot P1"},
        {head + "P1 out 0 10k\n", 4, "the pot P1 needs three nodes"},
        {head + "R2 x y 1k\n", 4, "R2 is connected to nothing that reaches the source or ground"},
        {head + "C2 out 0 -1n\n", 4, "not passive"},
        {head + "L1 out 0 1m Rser=-2\n", 4, "Rser of L1"},
        {head + "C2 out 0 0\n", 4, "above zero"},
        {head + ".subckt amp 1 2\n", 4, ".subckt is not supported"},
        {head + ".include other.cir\n", 4, ".include is not supported"},
        {head + ".model d1 d\n", 4, ".model is not supported"},
        {head + "R2 out 0 {k*2}\n", 4, "unknown parameter k"},
        {head + ".param a=0.1\nR2 out 0 {a<0.5 ? 1k : k*2}\n", 5, "unknown parameter k"},
        {head + ".param a={b}\n.param b={a}\nR2 out 0 {a}\n", 6, "defined through itself"},
        {head + [] {
             std::string chain;
             for (int i = 0; i < 5000; ++i)
                 chain += ".param p" + std::to_string(i) + "={p" + std::to_string(i + 1) + "+1}\n";
             return chain + ".param p5000=1\nR2 out 0 {p0}\n";
         }(),
         5005, "defined through more than 100 others"},
        {head + "*corvanta: control Tone=50\n", 4, "no control is called Tone"},
        {head + "P1 out w 0 10k\n*corvanta: control P1=101\n", 5, "from 0 to 100"},
        {head + ".print ac v(out,in)\n", 4, "between two nodes"},
        {head + ".print ac vdb(GND)\n", 4, "vdb(GND) is ground"},
        {head + ".control\nrun\nC2 out 0 1n\n.end\n", 4, "a .control block without .endc"},
        {head + "+ 2k\n", 3, "unexpected \"2k\" after the value of R1"},
        {head + "P1 out w 0 10k control=Tone(\n", 4, "control label Tone( of the pot P1 may not hold brackets"},
        {head + "*corvanta: page f\n", 4, "one capital letter"},
        {head + "*corvanta: page FR\n", 4, "one capital letter"},
        {head + "*corvanta: page F\n*corvanta: page F\n", 5, "a second *corvanta: page line (the first is on line 4)"},
        {head + "*corvanta: page F\nP1 out w 0 10k\n", 5, "P1 is not named as a part of page F: a pot is PR"},
        {head + "*corvanta: page F\nCx out 0 1n\n", 5, "Cx is not named as a part of page F"},
        {head + "*corvanta: page F\nPR1 out w 0 10k\n", 5, "PR1 is the page's FR1 again (first on line 3)"},
        {head + "*corvanta: page F\nRG out 0 1k\n", 5, "RG, the source's resistance, must run from the source's node in"},
        {head + "*corvanta: page F\n.param t=0.5\nRwire out 0 {t*1k}\n", 6, "value of Rwire may not follow a control"},
    };
    for (const auto &c : cases) {
        try {
            ReadNetlist(c.Text, "amp.cir");
            ADD_FAILURE() << "no error for:\n" << c.Text;
        } catch (const TNetlistError &error) {
            EXPECT_EQ(error.Line, c.Line) << error.what();
            EXPECT_NE(std::string(error.what()).find(c.Says), std::string::npos) << error.what();
            EXPECT_EQ(std::string(error.what()).rfind("amp.cir:" + std::to_string(c.Line) + ": ", 0), 0u)
                << error.what();
        }
    }
}

TEST(Netlist, GangsParametersAndPositions)
{
    const TNetlistCircuit read = ReadNetlist("Gang test\n"
                                             "* a comment\n"
                                             "V1 IN gnd dc 0 ac 1\n"
                                             ".param Tilt=0.3 unused=0.5\n"
                                             "P1 in a Out 100k logA control=Volume\n"
                                             "P2 a b 0 50k control=volume\n"
                                             "R1 b OUT {10k*tilt + 1k} ; tilt moves it\n"
                                             "+\n"
                                             "L1 a 0 100m Rser=12\n"
                                             "*corvanta: control volume=80\n"
                                             "*corvanta: picture gang.svg\n"
                                             ".end\n"
                                             "R9 this is after the end\n",
                                             "g.cir");
    const TCircuitDef &page = read.Page;
    EXPECT_EQ(page.TabCaption, "Gang test");
    ASSERT_EQ(page.ControlCount(), 2);
    EXPECT_EQ(page.Controls[0].Label, "Tilt");
    EXPECT_TRUE(page.Controls[0].Parametric);
    EXPECT_EQ(page.Controls[1].Label, "Volume");
    EXPECT_EQ(page.Controls[1].Pots, (std::vector<std::string>{"P1", "P2"}));
    EXPECT_EQ(read.Positions, (std::vector<int>{30, 80}));
    EXPECT_EQ(read.Picture, "gang.svg");
    // Nodes keep their first spelling.
    EXPECT_EQ(page.OutputNode, "Out");
    EXPECT_EQ(page.InputNode, "IN");
    EXPECT_EQ(page.FindComponent("L1")->Second, 12);
    EXPECT_EQ(page.FindComponent("P1")->Second, PotLogA);
    EXPECT_EQ(page.FindComponent("R1"), nullptr); // its value follows Tilt

    TCircuit circuit;
    AddNetlistPage(circuit, read);
    EXPECT_EQ(circuit.TaperLabel(0), "Linear");
    EXPECT_EQ(circuit.TaperLabel(1), "Log A");
    const auto resistance = [&](int tilt) {
        circuit.SetPosition(0, tilt);
        const TNetlist net = BuildNetlist(circuit);
        for (int i = 0; i < net.BranchCount; ++i)
            if (net.Branches[std::size_t(i)].Component == "R1")
                return net.Branches[std::size_t(i)].Value;
        return 0.0;
    };
    EXPECT_DOUBLE_EQ(resistance(30), 4000);
    EXPECT_DOUBLE_EQ(resistance(100), 11000);
}

TEST(Netlist, WritingBackKeepsTheTextAndTakesTheNewSettings)
{
    const std::string text = "Write-back test\n"
                             "* the user's comment\n"
                             "V1 in 0 AC 1\n"
                             ".param tilt=0.25\n"
                             "R1 in a {100k*tilt+1k} ; follows tilt\n"
                             "P1 a out 0 250k control=Tone\n"
                             "+ ; a continuation\n"
                             "L1 out 0 1.5\n"
                             "C1 out 0 2n2  ; kept as written\n"
                             ".print ac v(out)\n"
                             ".end\n";
    const TNetlistCircuit read = ReadNetlist(text, "w.cir");
    TCircuit circuit;
    AddNetlistPage(circuit, read);
    const auto positions = [&] {
        std::vector<int> all;
        for (int control = 0; control < circuit.ControlCount(); ++control)
            all.push_back(circuit.Position(control));
        return all;
    };
    EXPECT_EQ(UpdatedNetlistText(read, circuit.ActiveValues(), positions()), text);

    circuit.Symbols.SetInfo("P1", "100000|2");
    circuit.Symbols.SetInfo("L1", "0.47|12.5");
    circuit.SetPosition(0, 70);
    circuit.SetPosition(1, 10);
    const std::string written = UpdatedNetlistText(read, circuit.ActiveValues(), positions());
    EXPECT_NE(written.find("* the user's comment\n"), std::string::npos) << written;
    EXPECT_NE(written.find("C1 out 0 2n2  ; kept as written\n"), std::string::npos) << written;
    EXPECT_NE(written.find("P1 a out 0 100k logB control=Tone\n+ ; a continuation\n"), std::string::npos) << written;
    EXPECT_NE(written.find(".param tilt=0.7\n"), std::string::npos) << written;
    const TNetlistCircuit again = ReadNetlist(written, "w.cir");
    EXPECT_EQ(again.Positions, (std::vector<int>{70, 10}));
    EXPECT_EQ(again.Page.FindComponent("L1")->Value, 0.47);
    EXPECT_EQ(again.Page.FindComponent("L1")->Second, 12.5);
    EXPECT_EQ(again.Page.FindComponent("P1")->Second, PotLogB);
    EXPECT_EQ(again.Layout.Lines.back(), ".end");

    // A control set twice in the file: the last line would win, so both are
    // rewritten; so is a line that sets a parameter's control.
    const TNetlistCircuit twice = ReadNetlist(text.substr(0, text.rfind(".end")) +
                                                  "*corvanta: control Tone=20\n*corvanta: control tone=30\n"
                                                  "*corvanta: control Tilt=40\n",
                                              "w.cir");
    EXPECT_EQ(twice.Positions[0], 40);
    EXPECT_EQ(twice.Positions[1], 30);
    EXPECT_EQ(ReadNetlist(UpdatedNetlistText(twice, circuit.ActiveValues(), std::vector<int>{25, 60}), "w.cir").Positions,
              (std::vector<int>{25, 60}));
    // A file with CRLF line breaks keeps them.
    std::string crlf;
    for (const char c : text)
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    const std::string writtenCrlf =
        UpdatedNetlistText(ReadNetlist(crlf, "w.cir"), circuit.ActiveValues(), std::vector<int>{25, 60});
    EXPECT_EQ(std::count(writtenCrlf.begin(), writtenCrlf.end(), '\n'),
              std::count(writtenCrlf.begin(), writtenCrlf.end(), '\r')) << writtenCrlf;
    EXPECT_NE(writtenCrlf.find("logB control=Tone\r\n"), std::string::npos) << writtenCrlf;
    // An end card with its comment right after it: a new position line goes before it.
    const TNetlistCircuit endComment = ReadNetlist(text.substr(0, text.rfind(".end")) + ".end; done\n", "w.cir");
    EXPECT_EQ(ReadNetlist(UpdatedNetlistText(endComment, circuit.ActiveValues(), std::vector<int>{25, 60}), "w.cir").Positions,
              (std::vector<int>{25, 60}));
}

TEST(Netlist, EveryTaperLawIsReadAndWrittenBack)
{
    const struct {
        const char *Written;
        std::uint8_t Taper;
    } cases[] = {
        {"lin", PotLinear},       {"Linear", PotLinear},         {"LOGA", PotLogA},
        {"logb", PotLogB},        {"audio10", PotAudio10},       {"Audio15", PotAudio15},
        {"AUDIO20", PotAudio20},  {"revaudio10", PotRevAudio10}, {"RevAudio15", PotRevAudio15},
        {"revaudio20", PotRevAudio20},
    };
    for (const auto &c : cases) {
        const std::string text = std::string("taper\nV1 in 0 AC 1\nP1 in out 0 100k ") + c.Written + "\n.end\n";
        const TNetlistCircuit read = ReadNetlist(text, "t.cir");
        EXPECT_EQ(read.Page.FindComponent("P1")->Second, c.Taper) << c.Written;
        // Written back as another law, and that law read again.
        for (std::uint8_t taper = 0; taper <= LastKnownTaper; ++taper) {
            TCircuit circuit;
            AddNetlistPage(circuit, read);
            circuit.Symbols.SetInfo("P1", "100000|" + std::to_string(taper));
            const std::string written = UpdatedNetlistText(read, circuit.ActiveValues(), read.Positions);
            EXPECT_EQ(ReadNetlist(written, "t.cir").Page.FindComponent("P1")->Second, taper) << written;
            EXPECT_EQ(written.find(std::string(" ") + c.Written + "\n") != std::string::npos, taper == c.Taper)
                << written;
        }
    }
}

TEST(Netlist, LimitsOfTheEngineAreStated)
{
    // A ladder of N sections: N nodes besides the input, 2N+1 elements.
    const auto ladder = [](int sections) {
        std::string text = "ladder\nV1 n0 0 AC 1\n";
        for (int i = 1; i <= sections; ++i)
            text += "R" + std::to_string(i) + " n" + std::to_string(i - 1) + " n" + std::to_string(i) + " 1k\nC" +
                    std::to_string(i) + " n" + std::to_string(i) + " 0 1n\n";
        return text + ".print ac v(n" + std::to_string(sections) + ")\n";
    };
    const auto gain = [](const std::string &text) {
        TCircuit circuit;
        AddNetlistPage(circuit, ReadNetlist(text, "ladder.cir"));
        TTrace live{};
        Recalculate(circuit, live);
        return live;
    };
    EXPECT_TRUE(std::isfinite(gain(ladder(MaxNetNodes - 1))[GridPoints - 1]));
    try {
        gain(ladder(MaxNetNodes));
        ADD_FAILURE() << "no error beyond the node limit";
    } catch (const CorvantaError &error) {
        EXPECT_NE(std::string(error.what()).find("more than 64 nodes"), std::string::npos) << error.what();
    }
}

// The taper laws written out as ngspice expressions, to check the pots
// against an outside evaluation of the same netlist.
std::string LawExpression(int taper, const std::string &x)
{
    const auto audio = [](const std::string &midShare, const std::string &t) {
        return "(" + t + "<=0.04 ? 0 : " + t + "<=0.5 ? " + midShare + "*(" + t + "-0.04)/0.46 : " + midShare +
               "+(1-" + midShare + ")*(" + t + "-0.5)/0.5)";
    };
    switch (taper) {
    case PotLogA:
        return "(" + x + "<0.5 ? 0.6*" + x + " : 1.4*" + x + "-0.4)";
    case PotLogB:
        return "(" + x + "<0.5 ? 0.2*" + x + " : 1.8*" + x + "-0.8)";
    case PotAudio10:
    case PotAudio15:
    case PotAudio20:
        return audio("0." + std::to_string(10 + 5 * (taper - PotAudio10)), x);
    case PotRevAudio10:
    case PotRevAudio15:
    case PotRevAudio20:
        return "(1-" + audio("0." + std::to_string(10 + 5 * (taper - PotRevAudio10)), "(1-" + x + ")") + ")";
    default:
        return x;
    }
}

std::string Number(double value)
{
    char text[40];
    std::snprintf(text, sizeof text, "%.6g", value);
    return text;
}

double LogUniform(std::mt19937 &random, double low, double high)
{
    return std::pow(10.0, std::uniform_real_distribution<double>(low, high)(random));
}

// A random passive network written twice: as this program reads it (pots,
// gangs, .param controls, Rser) and as plain ngspice (each pot as two
// resistors whose values follow the same control parameter through the
// taper law, each Rser as a resistor of its own).
struct TGenerated {
    std::string Ours, Spice;
};

TGenerated GeneratedNetlist(std::mt19937 &random, int index)
{
    std::ostringstream ours, spice, directives;
    const auto both = [&](const std::string &line) {
        ours << line;
        spice << line;
    };
    const auto pick = [&](int below) { return std::uniform_int_distribution<int>(0, below - 1)(random); };
    both("generated " + std::to_string(index) + "\nV1 in 0 AC 1\n");
    const int nodes = 3 + pick(14);
    const auto node = [](int i) { return i == 0 ? std::string("0") : i == 1 ? std::string("in") : "n" + std::to_string(i); };
    // Controls k0, k1 ...: some are .param controls (element values follow
    // them), any may turn pots, which makes a gang of two or more.
    const int controls = 1 + pick(3);
    std::vector<int> position(static_cast<std::size_t>(controls));
    std::vector<bool> parametric(static_cast<std::size_t>(controls)), turnsPots(static_cast<std::size_t>(controls));
    for (int c = 0; c < controls; ++c) {
        position[std::size_t(c)] = pick(101);
        parametric[std::size_t(c)] = pick(2) == 0;
        const std::string line = ".param k" + std::to_string(c) + "=" + Number(position[std::size_t(c)] / 100.0) + "\n";
        if (parametric[std::size_t(c)])
            both(line);
        else
            spice << line;
    }
    int element = 0;
    const auto add = [&](int a, int b, bool resistive) {
        const std::string from = node(a), to = node(b), id = std::to_string(++element);
        const int kind = resistive ? pick(3) : pick(5);
        const int c = pick(controls);
        const std::string k = "k" + std::to_string(c);
        const double value = LogUniform(random, 2, 6);
        if (kind == 0 && parametric[std::size_t(c)]) {
            both("R" + id + " " + from + " " + to + " {" + Number(value) + "*" + k + "+" + Number(value / 10) + "}\n");
        } else if (kind == 0) {
            both("R" + id + " " + from + " " + to + " " + Number(value) + "\n");
        } else if (kind <= 2) {
            // A pot: a variable resistor (wiper on LUG3), or a divider to a third node.
            const int taper = pick(LastKnownTaper + 1);
            int third = pick(nodes + 1);
            while (third == a || third == b)
                third = (third + 1) % (nodes + 1);
            const std::string lug3 = kind == 1 ? to : node(third);
            ours << "P" << id << " " << from << " " << to << " " << lug3 << " " << Number(value) << " "
                 << TaperWord(std::uint8_t(taper)) << " control=" << k << "\n";
            const std::string law = LawExpression(taper, k);
            spice << "Rp" << id << "a " << from << " " << to << " {" << Number(value) << "*" << law << "+1}\n";
            if (kind == 2)
                spice << "Rp" << id << "b " << to << " " << lug3 << " {" << Number(value) << "*(1-" << law << ")+1}\n";
            turnsPots[std::size_t(c)] = true;
        } else if (kind == 3) {
            both("C" + id + " " + from + " " + to + " " + Number(LogUniform(random, -10, -6)) + "\n");
        } else {
            const double l = LogUniform(random, -3, 0), rser = LogUniform(random, 0, 3);
            ours << "L" << id << " " << from << " " << to << " " << Number(l) << " Rser=" << Number(rser) << "\n";
            spice << "L" << id << " " << from << " x" << id << " " << Number(l) << "\nRL" << id << " x" << id << " "
                  << to << " " << Number(rser) << "\n";
        }
    };
    for (int i = 2; i <= nodes; ++i)
        add(1 + pick(i - 1), i, true); // a resistive path from the input to every node
    for (int extra = pick(2 * nodes); extra > 0; --extra) {
        const int a = pick(nodes + 1), b = pick(nodes + 1);
        if (a != b && a + b > 1) // never across the source
            add(a, b, false);
    }
    for (int c = 0; c < controls; ++c)
        if (turnsPots[std::size_t(c)])
            ours << "*corvanta: control k" << c << "=" << position[std::size_t(c)] << "\n";
    both(".print ac vdb(n" + std::to_string(nodes) + ")\n.end\n");
    return {ours.str(), spice.str()};
}

// A deck (ending in ".end") run by ngspice, against a curve; an exported
// deck on its own ".ac" line.
void ExpectNgspiceAgrees(std::string deck, const std::string &outputNode, const TTrace &gain, const std::string &name,
                         TSweep sweep = TSweep::Grid)
{
    deck.erase(deck.rfind(".end"));
    const std::vector<TSpicePoint> spice = RunNgspice(
        [&](const std::string &dataFile) { return deck + WriteDataBlock(outputNode, dataFile, sweep); }, name);
    ASSERT_EQ(spice.size(), std::size_t(GridPoints)) << name;
    double worst = 0;
    for (int k = 0; k < GridPoints; ++k)
        if (spice[std::size_t(k)].GainDB > ComparedAboveDB)
            worst = std::max(worst, std::fabs(gain[k] - spice[std::size_t(k)].GainDB));
    EXPECT_LE(worst, GainToleranceDB) << name << "\n" << deck;
}

TEST(NetlistAgainstNgspice, GeneratedNetlistsAndTheirExportedDecks)
{
    std::mt19937 random(1616);
    for (int index = 0; index < 50; ++index) {
        const TGenerated netlist = GeneratedNetlist(random, index);
        const std::string name = "generated " + std::to_string(index);
        TCircuit circuit;
        AddNetlistPage(circuit, ReadNetlist(netlist.Ours, name));
        circuit.ResolutionStep = ResolutionHigh;
        TTrace gain{};
        Recalculate(circuit, gain);
        const std::string output = circuit.ActiveInfo().OutputNode;
        ExpectNgspiceAgrees(netlist.Spice, output, gain, name);
        ExpectNgspiceAgrees(SpiceDeck(circuit), output, gain, name + " exported", TSweep::Deck);
    }
}

// Where an exported deck could part from the circuit: a sharp resonance,
// where a frequency off the grid by a part in ten million shows in the gain,
// and nodes named as the deck names its own.
TEST(NetlistAgainstNgspice, ExportedDecksOfOddCircuits)
{
    for (const char *text : {"pickup\nV1 in 0 AC 1\nL1 in out 3 Rser=2k\nC1 out 0 2n\n",
                             "names\nV1 in 0 AC 1\nR1 in CORVANTA_RSER2 1k\nL1 corvanta_rser2 out 10m Rser=50\n"
                             "L2 out 0 100m Rser=20\nC1 out 0 100n\n"}) {
        TCircuit circuit;
        AddNetlistPage(circuit, ReadNetlist(text, "odd.cir"));
        circuit.ResolutionStep = ResolutionHigh;
        TTrace gain{};
        Recalculate(circuit, gain);
        ExpectNgspiceAgrees(SpiceDeck(circuit), "out", gain, text, TSweep::Deck);
    }
}

TEST(NetlistAgainstNgspice, Examples)
{
    int count = 0;
    for (const auto &entry : std::filesystem::directory_iterator(CORVANTA_EXAMPLE_DIR)) {
        if (entry.path().extension() != ".cir")
            continue;
        ++count;
        const TNetlistCircuit read = ReadNetlistFile(entry.path());
        EXPECT_NE(read.Layout.Lines.size(), 0u);
        EXPECT_TRUE(std::any_of(read.Layout.Lines.begin(), read.Layout.Lines.end(),
                                [](const std::string &line) { return line.rfind("* Source: ", 0) == 0; }))
            << entry.path() << " names no source";
        TCircuit circuit;
        AddNetlistPage(circuit, read);
        circuit.ResolutionStep = ResolutionHigh;
        // Each control at both ends and where the file puts it.
        for (int control = 0; control < circuit.ControlCount(); ++control)
            for (int position : {0, 100, read.Positions[std::size_t(control)]}) {
                circuit.SetPosition(control, position);
                TTrace gain{};
                Recalculate(circuit, gain);
                ExpectNgspiceAgrees(SpiceDeck(circuit), read.Page.OutputNode, gain,
                                    entry.path().filename().string() + " " + read.Page.Controls[std::size_t(control)].Label +
                                        "=" + std::to_string(position),
                                    TSweep::Deck);
            }
    }
    EXPECT_GE(count, 18);
}

} // namespace
