// The circuit engine against an outside reference: ngspice's AC analysis of
// the seven default circuits and of generated passive networks, compared in
// gain and phase at every grid frequency.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "models/BuiltInCircuits.h"
#include "document/Netlist.h"
#include "document/Catalogue.h"
#include "models/NodalEngine.h"

namespace {

using namespace cva;

constexpr double GainToleranceDB = 1e-6;
constexpr double PhaseToleranceDeg = 1e-4;

std::string Number(double value)
{
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

std::string Node(int node) { return node == 0 ? "0" : "n" + std::to_string(node); }

// The netlist in SPICE form, with an AC sweep over the grid: 128 points a
// decade from 10 Hz, the last at the grid's last frequency.
std::string SpiceDeck(const TNetlist &net, const std::string &dataFile)
{
    std::ostringstream deck;
    deck << net.Name << "\n";
    if (net.SourceResistance > 0) {
        deck << "V1 src 0 AC 1\n";
        deck << "RG src " << Node(net.Input) << " " << Number(net.SourceResistance) << "\n";
    } else {
        deck << "V1 " << Node(net.Input) << " 0 AC 1\n";
    }
    for (int i = 0; i < net.BranchCount; ++i) {
        const TNetBranch &b = net.Branches[i];
        const std::string from = Node(b.From), to = Node(b.To), id = std::to_string(i);
        const char letter = Traits(b.Kind).SpiceLetter;
        if (b.SeriesResistance > 0) {
            deck << letter << id << " " << from << " x" << id << " " << Number(b.Value) << "\n";
            deck << "RL" << id << " x" << id << " " << to << " " << Number(b.SeriesResistance) << "\n";
        } else {
            deck << letter << id << " " << from << " " << to << " " << Number(b.Value) << "\n";
        }
    }
    deck << ".control\nset noaskquit\noption numdgt=15\n";
    deck << "ac dec 128 10 " << Number(GridFrequency(GridLastStep)) << "\n";
    deck << "set wr_singlescale\n";
    deck << "wrdata " << dataFile << " vdb(" << Node(net.Output) << ") vp(" << Node(net.Output) << ")\n";
    deck << "quit\n.endc\n.end\n";
    return deck.str();
}

int RunCount = 0;

struct TSpicePoint {
    double Frequency, GainDB, PhaseRad;
};

std::vector<TSpicePoint> RunNgspice(const TNetlist &net)
{
    const std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                         ("corvanta-spice-" + std::to_string(::getpid()) + "-" + std::to_string(RunCount++));
    std::filesystem::create_directories(folder);
    const std::filesystem::path deckFile = folder / "deck.cir";
    const std::filesystem::path dataFile = folder / "ac.txt";
    std::filesystem::remove(dataFile);
    std::ofstream(deckFile) << SpiceDeck(net, dataFile.string());
    const std::string command = "ngspice -b " + deckFile.string() + " > " + (folder / "log.txt").string() + " 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0) << "ngspice failed on " << net.Name << "; is it installed?";
    std::vector<TSpicePoint> points;
    std::ifstream data(dataFile);
    TSpicePoint p{};
    while (data >> p.Frequency >> p.GainDB >> p.PhaseRad)
        points.push_back(p);
    if (std::getenv("CORVANTA_KEEP_SPICE") == nullptr)
        std::filesystem::remove_all(folder);
    return points;
}

void ExpectAgreesWithNgspice(const TNetlist &net)
{
    const std::vector<TSpicePoint> spice = RunNgspice(net);
    ASSERT_EQ(spice.size(), std::size_t(GridPoints)) << net.Name;
    TNodalEngine engine(net);
    double worstGain = 0, worstPhase = 0;
    for (int k = 0; k < GridPoints; ++k) {
        const TSpicePoint &p = spice[k];
        ASSERT_NEAR(p.Frequency, GridFrequency(GridFirstStep + k), 1e-9 * p.Frequency) << net.Name;
        const TCx out = engine.Output(p.Frequency);
        const double gain = GainDB(std::abs(out));
        double phase = std::arg(out) * 180 / M_PI - p.PhaseRad * 180 / M_PI;
        phase -= 360 * std::round(phase / 360);
        worstGain = std::max(worstGain, std::fabs(gain - p.GainDB));
        worstPhase = std::max(worstPhase, std::fabs(phase));
    }
    EXPECT_LE(worstGain, GainToleranceDB) << net.Name;
    EXPECT_LE(worstPhase, PhaseToleranceDeg) << net.Name;
}

TEST(NgspiceReference, DefaultCircuits)
{
    for (const TCircuitDef &info : BuiltInCircuits()) {
        TCircuit circuit;
        circuit.Active = PageNamed(info.TabCaption);
        circuit.SetPosition(BuiltInControl::Bass, 20);
        circuit.SetPosition(BuiltInControl::Treble, 70);
        ExpectAgreesWithNgspice(BuildNetlist(circuit));
    }
}

// A value spread evenly in log over [10^low, 10^high].
double LogUniform(std::mt19937 &random, double low, double high)
{
    return std::pow(10.0, low + (high - low) * (random() / 4294967296.0));
}

// Connected networks of 3 to 8 nodes: a tree of resistors and inductors
// from the input, which has one to ground, gives every node a path to the
// source and to ground; further branches of any kind close loops; the
// output is the last node.
TNetlist GeneratedNetwork(std::mt19937 &random, int index)
{
    TNetlist net;
    net.Name = "generated network " + std::to_string(index);
    net.NodeCount = 3 + int(random() % 6);
    net.Input = 1;
    net.Output = net.NodeCount;
    net.SourceResistance = index % 5 == 0 ? 0 : LogUniform(random, 1, 5);
    auto branch = [&](int from, int to, bool carriesDc) {
        const unsigned kind = carriesDc ? random() % 2 * 2 : random() % 3;
        if (kind == 0)
            net.Add({TElementKind::Resistor, from, to, LogUniform(random, 1, 7), 0, ""});
        else if (kind == 1)
            net.Add({TElementKind::Capacitor, from, to, LogUniform(random, -12, -6), 0, ""});
        else
            net.Add({TElementKind::Inductor, from, to, LogUniform(random, -3, 3),
                     random() % 2 ? 0 : LogUniform(random, 0, 3), ""});
    };
    branch(1, 0, true);
    for (int node = 2; node <= net.NodeCount; ++node)
        branch(node, 1 + int(random() % (node - 1)), true);
    const int extra = 1 + int(random() % (net.NodeCount + 1));
    for (int i = 0; i < extra; ++i) {
        const int from = 1 + int(random() % net.NodeCount);
        const int to = int(random() % (net.NodeCount + 1));
        if (from != to)
            branch(from, to, false);
    }
    return net;
}

TEST(NgspiceReference, GeneratedNetworks)
{
    std::mt19937 random(20261208);
    for (int i = 0; i < 60; ++i)
        ExpectAgreesWithNgspice(GeneratedNetwork(random, i));
}

} // namespace
