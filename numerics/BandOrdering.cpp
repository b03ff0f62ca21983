#include "numerics/BandOrdering.h"

#include <algorithm>
#include <cstdlib>

namespace cva {

namespace {

// The unknowns' graph in fixed storage: each unknown's neighbours, without repeats.
struct TGraph {
    std::array<std::array<int, MaxLUOrder>, MaxLUOrder> Neighbours;
    std::array<int, MaxLUOrder> Degree{};

    TGraph(int count, std::span<const TCoupling> couplings)
    {
        for (const auto &[a, b] : couplings) {
            if (a == b || a < 0 || b < 0 || a >= count || b >= count)
                continue;
            Join(a, b);
            Join(b, a);
        }
    }

    void Join(int a, int b)
    {
        int *const first = Neighbours[a].data();
        if (std::find(first, first + Degree[a], b) == first + Degree[a])
            Neighbours[a][Degree[a]++] = b;
    }
};

} // namespace

TUnknownOrder BandOrdering(int count, std::span<const TCoupling> couplings)
{
    const TGraph graph(count, couplings);
    std::array<int, MaxLUOrder> walk{}; // the unknowns in the order visited
    std::array<bool, MaxLUOrder> visited{};
    int visitedCount = 0;
    while (visitedCount < count) {
        // Each part of the graph from its unknown of fewest connections, an outlying one.
        int start = -1;
        for (int u = 0; u < count; ++u)
            if (!visited[u] && (start < 0 || graph.Degree[u] < graph.Degree[start]))
                start = u;
        visited[start] = true;
        walk[visitedCount++] = start;
        for (int head = visitedCount - 1; head < visitedCount; ++head) {
            const int u = walk[head];
            const int firstNew = visitedCount;
            for (int i = 0; i < graph.Degree[u]; ++i)
                if (const int v = graph.Neighbours[u][i]; !visited[v]) {
                    visited[v] = true;
                    walk[visitedCount++] = v;
                }
            std::stable_sort(walk.begin() + firstNew, walk.begin() + visitedCount,
                             [&](int a, int b) { return graph.Degree[a] < graph.Degree[b]; });
        }
    }
    TUnknownOrder order{};
    for (int i = 0; i < count; ++i)
        order[walk[i]] = count - 1 - i;
    return order;
}

TBand BandOf(const TUnknownOrder &order, std::span<const TCoupling> couplings)
{
    int width = 0;
    for (const auto &[a, b] : couplings)
        if (a >= 0 && b >= 0)
            width = std::max(width, std::abs(order[a] - order[b]));
    return {width, width};
}

} // namespace cva
