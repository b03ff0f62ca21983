#pragma once

// The catalogue of the seven topologies in page order, and the default
// circuits they start from. Each topology's description is its own file
// in models/.

#include <array>
#include <optional>
#include <string_view>

#include "components/SymbolList.h"
#include "models/TopologyInfo.h"

namespace cva {

const std::array<TTopologyInfo, TopologyCount> &Topologies();
const TTopologyInfo &TopologyInfo(Topology topology);
// Exact, case-sensitive match against the tab captions.
std::optional<Topology> TopologyFromCaption(std::string_view caption);

// Fills the store with the default components of all seven topologies.
void CreateDefaultCircuits(TSymbolList &symbols);

} // namespace cva
