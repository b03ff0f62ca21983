#include "models/Mna.h"

namespace cva {

TMnaSystem StampMna(const TNetlist &net)
{
    CheckNetlist(net);
    TNodeUnknowns unknown{};
    TMnaSystem m;
    const int nodes = JoinShorts(net, unknown);
    int next = nodes;
    m.SourceCurrent = next++;
    for (int i = 0; i < net.BranchCount; ++i)
        if (Traits(net.Branches[i].Kind).StateStamp == TStateStamp::BranchCurrent)
            ++next;
    m.Size = next;
    m.G.assign(std::size_t(next), std::vector<double>(std::size_t(next)));
    m.C = m.G;
    m.B.assign(std::size_t(next), 0);
    m.Output = unknown[net.Output];

    // The node equations: currents leaving each node through its branches.
    auto stamp = [](auto &matrix, int p, int q, double value) {
        if (p >= 0)
            matrix[p][p] += value;
        if (q >= 0)
            matrix[q][q] += value;
        if (p >= 0 && q >= 0) {
            matrix[p][q] -= value;
            matrix[q][p] -= value;
        }
    };
    int inductorRow = m.SourceCurrent + 1;
    for (int i = 0; i < net.BranchCount; ++i) {
        const TNetBranch &b = net.Branches[i];
        const int p = unknown[b.From];
        const int q = unknown[b.To];
        switch (Traits(b.Kind).StateStamp) {
        case TStateStamp::Conductance:
            if (!IsShort(b) && p != q)
                stamp(m.G, p, q, 1.0 / b.Value);
            break;
        case TStateStamp::Capacitance:
            if (p != q)
                stamp(m.C, p, q, b.Value);
            break;
        case TStateStamp::BranchCurrent: {
            // v(p) - v(q) - R i - L di/dt = 0, and i leaves p for q.
            const int k = inductorRow++;
            if (p >= 0) {
                m.G[p][k] += 1;
                m.G[k][p] += 1;
            }
            if (q >= 0) {
                m.G[q][k] -= 1;
                m.G[k][q] -= 1;
            }
            m.G[k][k] -= b.SeriesResistance;
            m.C[k][k] -= b.Value;
            break;
        }
        case TStateStamp::NotABranch: // refused by CheckNetlist
            break;
        }
    }
    // The source: v(in) + RG i = v, and i enters the input node.
    const int in = unknown[net.Input];
    const int s = m.SourceCurrent;
    if (in >= 0) {
        m.G[in][s] -= 1;
        m.G[s][in] += 1;
    }
    m.G[s][s] += net.SourceResistance;
    m.B[s] = 1;
    return m;
}

} // namespace cva
