#include "document/Topology.h"

#include "models/Models.h"

namespace cva {

namespace {

using K = TComponentKind;

constexpr TComponentDefault FenderParts[] = {
    {"FG", K::Generator, 38000, 0},    {"FR1", K::Resistor, 100000, 0}, {"FR2", K::Pot, 250000, PotLogA},
    {"FR3", K::Pot, 250000, PotLogA},  {"FR4", K::Pot, 10000, PotLinear}, {"FR5", K::Resistor, 1000000, 0},
    {"FC1", K::Capacitor, 2.5e-10, 0}, {"FC2", K::Capacitor, 1e-7, 0},    {"FC3", K::Capacitor, 4.7e-8, 0},
};

constexpr TComponentDefault VoxParts[] = {
    {"VG", K::Generator, 56000, 0},    {"VR1", K::Resistor, 100000, 0},   {"VR2", K::Resistor, 10000, 0},
    {"VR3", K::Pot, 1000000, PotLogA}, {"VR4", K::Pot, 1000000, PotLogA}, {"VR5", K::Resistor, 600000, 0},
    {"VC1", K::Capacitor, 2.2e-8, 0},  {"VC2", K::Capacitor, 2.2e-8, 0},  {"VC3", K::Capacitor, 4.7e-11, 0},
};

constexpr TComponentDefault MarshallParts[] = {
    {"MG", K::Generator, 1300, 0},      {"MR1", K::Resistor, 33000, 0},    {"MR2", K::Pot, 220000, PotLinear},
    {"MR3", K::Pot, 1000000, PotLogB},  {"MR4", K::Pot, 25000, PotLinear}, {"MR5", K::Resistor, 517000, 0},
    {"MC1", K::Capacitor, 4.7e-10, 0}, {"MC2", K::Capacitor, 2.2e-8, 0},  {"MC3", K::Capacitor, 2.2e-8, 0},
};

constexpr TComponentDefault JamesParts[] = {
    {"BG", K::Generator, 38000, 0},    {"BR1", K::Resistor, 100000, 0},  {"BR2", K::Pot, 1000000, PotLogB},
    {"BR3", K::Resistor, 10000, 0},    {"BR4", K::Resistor, 180000, 0},  {"BR5", K::Resistor, 1000000, 0},
    {"BR6", K::Pot, 470000, PotLogB},  {"BC1", K::Capacitor, 4.7e-10, 0}, {"BC2", K::Capacitor, 4.7e-9, 0},
    {"BC3", K::Capacitor, 3.3e-10, 0}, {"BC4", K::Capacitor, 3.3e-9, 0},
};

constexpr TComponentDefault ESeriesParts[] = {
    {"EG", K::Generator, 1300, 0},     {"ER1", K::Pot, 1000000, PotLogA}, {"ER2", K::Resistor, 220000, 0},
    {"ER3", K::Resistor, 100000, 0},   {"ER4", K::Pot, 1000000, PotLogA}, {"ER5", K::Resistor, 220000, 0},
    {"EC1", K::Capacitor, 1e-8, 0},    {"EC2", K::Capacitor, 2.5e-10, 0}, {"EC3", K::Capacitor, 1e-7, 0},
    {"EC4", K::Capacitor, 5e-9, 0},
};

constexpr TComponentDefault BenchParts[] = {
    {"SG", K::Generator, 13000, 0},   {"SR1", K::Pot, 100000, PotLogB},  {"SR2", K::Pot, 100000, PotLogB},
    {"SR3", K::Pot, 100000, PotLogB}, {"SR4", K::Resistor, 51000, 0},    {"SR5", K::Resistor, 5100, 0},
    {"SC1", K::Capacitor, 2.2e-8, 0}, {"SC2", K::Capacitor, 6.8e-9, 0},  {"SL1", K::Inductor, 6, 600},
    {"SL2", K::Inductor, 20, 600},
};

constexpr TComponentDefault BigMuffParts[] = {
    {"PG", K::Generator, 1000, 0},    {"PR1", K::Resistor, 39000, 0},     {"PR2", K::Resistor, 22000, 0},
    {"PR3", K::Pot, 100000, PotLinear}, {"PR4", K::Resistor, 1000000, 0}, {"PC1", K::Capacitor, 4e-9, 0},
    {"PC2", K::Capacitor, 1e-8, 0},
};

const std::array<TTopologyInfo, TopologyCount> Catalogue{{
    {Topology::Fender, "Fender", 'F', "Fender", {"FR3", "FR4", "FR2"}, FenderParts, CalcFender},
    {Topology::Vox, "Vox", 'V', "Vox", {"VR4", "", "VR3"}, VoxParts, CalcVox},
    {Topology::Marshall, "Marshall", 'M', "Marshall", {"MR3", "MR4", "MR2"}, MarshallParts, CalcMarshall},
    {Topology::James, "James", 'B', "James", {"BR2", "", "BR6"}, JamesParts, CalcJames},
    {Topology::ESeries, "E series", 'E', "E series", {"ER4", "", "ER1"}, ESeriesParts, CalcESeries},
    {Topology::Bench, "Bench", 'S', "Bench", {"SR2", "SR1", "SR3"}, BenchParts, CalcBench},
    {Topology::BigMuff, "Big muff", 'P', "Big Muff", {"", "PR3", ""}, BigMuffParts, CalcBigMuff},
}};

} // namespace

const std::array<TTopologyInfo, TopologyCount> &Topologies()
{
    return Catalogue;
}

const TTopologyInfo &TopologyInfo(Topology topology)
{
    return Catalogue[static_cast<std::size_t>(topology)];
}

std::optional<Topology> TopologyFromCaption(std::string_view caption)
{
    for (const TTopologyInfo &info : Catalogue)
        if (info.TabCaption == caption)
            return info.Id;
    return std::nullopt;
}

void CreateDefaultCircuits(TSymbolList &symbols)
{
    for (const TTopologyInfo &info : Catalogue) {
        for (const TComponentDefault &part : info.Components) {
            switch (part.Kind) {
            case K::Generator:
                symbols.AddGenerator(part.Name, part.Value);
                break;
            case K::Resistor:
                symbols.AddResistor(part.Name, part.Value);
                break;
            case K::Pot:
                symbols.AddPot(part.Name, static_cast<std::uint8_t>(part.Second), part.Value);
                break;
            case K::Capacitor:
                symbols.AddCapacitor(part.Name, part.Value);
                break;
            case K::Inductor:
                symbols.AddInductor(part.Name, part.Value, part.Second);
                break;
            }
        }
    }
}

} // namespace cva
