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

#include "pages/BuiltInCircuits.h"
#include "document/Netlist.h"
#include "document/Catalogue.h"
#include "models/NodalEngine.h"
#include "document/SpiceExport.h"
#include "NgspiceRun.h"

namespace {

using namespace cva;

constexpr double GainToleranceDB = 1e-6;
constexpr double PhaseToleranceDeg = 1e-4;

// The exported deck, with nodes named n1, n2 ... and its analysis written to the data file.
std::string DataDeck(const TNetlist &net, const std::string &dataFile)
{
    std::vector<std::string> nodes{"0"};
    for (int node = 1; node <= net.NodeCount; ++node)
        nodes.push_back("n" + std::to_string(node));
    std::string deck = SpiceDeck(net, nodes, net.Name);
    deck.erase(deck.rfind(".end"));
    return deck + WriteDataBlock(nodes[std::size_t(net.Output)], dataFile);
}

void ExpectAgreesWithNgspice(const TNetlist &net)
{
    const std::vector<TSpicePoint> spice =
        RunNgspice([&](const std::string &dataFile) { return DataDeck(net, dataFile); }, net.Name);
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
