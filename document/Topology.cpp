#include "document/Topology.h"

#include <stdexcept>

namespace cva {

namespace {

using K = TComponentKind;

} // namespace

const std::array<TTopologyInfo, TopologyCount> &Topologies()
{
    // In page order; the enumeration counts the same pages.
    static const std::array<TTopologyInfo, TopologyCount> catalogue = [] {
        const std::array<TTopologyInfo, TopologyCount> pages{FenderTopology, VoxTopology, MarshallTopology,
                                                             JamesTopology,  ESeriesTopology, BenchTopology,
                                                             BigMuffTopology};
        for (int i = 0; i < TopologyCount; ++i)
            if (int(pages[i].Id) != i)
                throw std::logic_error("topology catalogue out of page order");
        return pages;
    }();
    return catalogue;
}

const TTopologyInfo &TopologyInfo(Topology topology)
{
    return Topologies()[static_cast<std::size_t>(topology)];
}

std::optional<Topology> TopologyFromCaption(std::string_view caption)
{
    for (const TTopologyInfo &info : Topologies())
        if (info.TabCaption == caption)
            return info.Id;
    return std::nullopt;
}

void CreateDefaultCircuits(TSymbolList &symbols)
{
    for (const TTopologyInfo &info : Topologies()) {
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
