#include "document/Netlist.h"

#include "numerics/Error.h"

namespace cva {

namespace {

// Node numbers in order of first mention; "0" is ground.
class TNodeNames {
public:
    explicit TNodeNames(TNetlist &net) : Net(net) {}

    int operator()(std::string_view name)
    {
        if (name == "0")
            return 0;
        for (int i = 0; i < Net.NodeCount; ++i)
            if (Names[i] == name)
                return i + 1;
        if (Net.NodeCount == MaxNetNodes)
            throw CorvantaError("The circuit " + Net.Name + " has more than " + std::to_string(MaxNetNodes) +
                                " nodes besides ground, the most the circuit engine solves");
        Names[Net.NodeCount++] = name;
        return Net.NodeCount;
    }

    std::vector<std::string> All() const
    {
        std::vector<std::string> all{"0"};
        all.insert(all.end(), Names.begin(), Names.begin() + Net.NodeCount);
        return all;
    }

private:
    TNetlist &Net;
    std::array<std::string_view, MaxNetNodes> Names{};
};

// A pot's sections are the user's value split at the slider: the refusal
// names the pot's value, not a section's.
void CheckPotIsPassive(const TNetlist &net, const TSymbolList &symbols, std::string_view pot)
{
    if (const double value = symbols.GetValue(pot); value < 0)
        throw TNotPassiveError(net, pot, "", value, "Ω");
}

} // namespace

TNetlist BuildNetlist(const TCircuit &circuit, std::vector<std::string> *nodeNames)
{
    const TCircuitDef &info = circuit.ActiveInfo();
    const TSymbolList &s = circuit.ActiveValues();
    TNetlist net;
    net.Name = info.TabCaption;
    TNodeNames node(net);
    net.Input = node(info.InputNode);
    net.Output = node(info.OutputNode);
    for (const TComponentDefault &part : info.Components)
        if (part.Kind == TElementKind::Generator)
            net.SourceResistance = s.GetValue(part.Name);

    std::vector<int> positions(std::size_t(info.ControlCount()));
    for (int control = 0; control < info.ControlCount(); ++control)
        positions[std::size_t(control)] = circuit.Position(control);

    for (const TBranchSpec &b : info.Branches) {
        const int from = node(b.From);
        const int to = node(b.To);
        if (b.ValueOf) {
            net.Add({b.Kind, from, to, b.ValueOf(positions), b.Kind == TElementKind::Inductor ? b.ValueR : 0, b.Component});
            continue;
        }
        switch (b.Kind) {
        case TElementKind::Resistor:
            net.Add({b.Kind, from, to, b.FixedOhms ? *b.FixedOhms : s.GetValue(b.Component), 0, b.Component});
            break;
        case TElementKind::Capacitor:
            net.Add({b.Kind, from, to, s.GetValue(b.Component), 0, b.Component});
            break;
        case TElementKind::Inductor:
            net.Add({b.Kind, from, to, s.GetValue(b.Component), s.GetValueR(b.Component), b.Component});
            break;
        case TElementKind::Pot: {
            CheckPotIsPassive(net, s, b.Component);
            const int position = PotPosition(circuit, b.Component);
            const double part = s.GetPotPart(b.Component, position, SliderMaximum);
            if (b.Wiper.empty()) {
                net.Add({TElementKind::Resistor, from, to, part, 0, b.Component});
            } else {
                const int wiper = node(b.Wiper);
                net.Add({TElementKind::Resistor, from, wiper, s.GetPotRest(b.Component, position, SliderMaximum), 0,
                         b.Component});
                net.Add({TElementKind::Resistor, wiper, to, part, 0, b.Component});
            }
            break;
        }
        case TElementKind::Generator:
            throw CorvantaError("The generator of circuit " + net.Name + " drives its input and is no branch");
        }
    }
    if (nodeNames)
        *nodeNames = node.All();
    return net;
}

} // namespace cva
