#include "models/Netlist.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "components/EngNotation.h"
#include "numerics/Error.h"

namespace cva {

namespace {

int Root(TNodeUnknowns &parent, int node)
{
    while (parent[node] != node)
        node = parent[node] = parent[parent[node]];
    return node;
}

// "-100 kΩ": engineering notation with the sign kept, as the user typed it.
std::string ValueWithUnit(double value, std::string_view unit)
{
    std::string text = FloatToEngStr(std::fabs(value));
    if (!text.empty() && std::isalpha(static_cast<unsigned char>(text.back())))
        text.insert(text.size() - 1, " ");
    else
        text += ' ';
    return (value < 0 ? "-" : "") + text + std::string(unit);
}

} // namespace

TNotPassiveError::TNotPassiveError(const TNetlist &net, std::string_view component, std::string_view quantity,
                                   double value, std::string_view unit)
    : CorvantaError(std::string(component) + " on the " + net.Name + " page " +
                    (quantity.empty() ? "is " : "has " + std::string(quantity) + " ") + ValueWithUnit(value, unit) +
                    ": the circuit is not passive, so phase, impedance, maps and sound are not computed")
{
}

void TNetlist::Add(const TNetBranch &branch)
{
    if (BranchCount == MaxNetBranches)
        throw CorvantaError("The circuit " + Name + " has more than " + std::to_string(MaxNetBranches) +
                            " elements (a pot counts as two), the most the circuit engine solves");
    Branches[BranchCount++] = branch;
}

void CheckNetlist(const TNetlist &net)
{
    auto fail = [&](const std::string &why) {
        throw CorvantaError("Cannot solve circuit " + net.Name + ": " + why);
    };
    auto checkNode = [&](int node) {
        if (node < 0 || node > net.NodeCount || net.NodeCount > MaxNetNodes)
            fail("a node number is out of range");
    };
    checkNode(net.Input);
    checkNode(net.Output);
    if (!std::isfinite(net.SourceResistance) || net.SourceResistance < 0)
        fail("the source resistance is not a finite, non-negative value");
    for (int i = 0; i < net.BranchCount; ++i) {
        const TNetBranch &b = net.Branches[i];
        checkNode(b.From);
        checkNode(b.To);
        const std::string name = b.Component.empty() ? "a branch" : std::string(b.Component);
        if (Traits(b.Kind).StateStamp == TStateStamp::NotABranch)
            fail(name + " is a " + std::string(Traits(b.Kind).TypeName) + ", not a branch");
        if (!std::isfinite(b.Value) || !std::isfinite(b.SeriesResistance))
            fail(name + " has a value that is not finite");
        if (b.Value < 0)
            throw TNotPassiveError(net, name, "", b.Value, Traits(b.Kind).ValueUnit);
        if (b.SeriesResistance < 0)
            throw TNotPassiveError(net, name, "a DC resistance of", b.SeriesResistance, "Ω");
        if (b.Kind == TElementKind::Capacitor && b.Value == 0)
            fail(name + " has a capacitance of zero or less");
        if (b.Kind == TElementKind::Inductor && b.Value == 0)
            fail(name + " has an inductance of zero or less");
    }
}

int JoinShorts(const TNetlist &net, TNodeUnknowns &unknown)
{
    TNodeUnknowns parent{};
    for (int n = 0; n <= net.NodeCount; ++n)
        parent[n] = n;
    for (int i = 0; i < net.BranchCount; ++i) {
        const TNetBranch &b = net.Branches[i];
        if (!IsShort(b))
            continue;
        // Ground, the lowest number, stays the root of whatever it joins.
        const int a = Root(parent, b.From);
        const int c = Root(parent, b.To);
        if (a != c)
            parent[std::max(a, c)] = std::min(a, c);
    }
    int count = 0;
    for (int n = 0; n <= net.NodeCount; ++n) {
        const int root = Root(parent, n);
        if (root == 0)
            unknown[n] = -1;
        else if (root == n)
            unknown[n] = count++;
        else
            unknown[n] = unknown[root];
    }
    return count;
}

} // namespace cva
