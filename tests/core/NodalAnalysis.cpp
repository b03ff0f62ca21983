#include "NodalAnalysis.h"

#include <cmath>
#include <numbers>
#include <stdexcept>

namespace cvatest {

using cva::TCircuit;
using cva::TSlider;
using cva::Topology;

int TNodalNetwork::Node(const std::string &name)
{
    for (std::size_t i = 0; i < Names.size(); ++i)
        if (Names[i] == name)
            return int(i);
    Names.push_back(name);
    return int(Names.size()) - 1;
}

void TNodalNetwork::AddImpedance(const std::string &from, const std::string &to, Cx impedance)
{
    const int a = Node(from);
    const int b = Node(to);
    Branches.push_back({a, b, Branch::Z, impedance});
}

void TNodalNetwork::AddResistor(const std::string &from, const std::string &to, long double ohms)
{
    AddImpedance(from, to, Cx(ohms, 0));
}

void TNodalNetwork::AddCapacitor(const std::string &from, const std::string &to, long double farads)
{
    const int a = Node(from);
    const int b = Node(to);
    Branches.push_back({a, b, Branch::C, Cx(farads, 0)});
}

void TNodalNetwork::AddInductor(const std::string &from, const std::string &to, long double henries)
{
    const int a = Node(from);
    const int b = Node(to);
    Branches.push_back({a, b, Branch::L, Cx(henries, 0)});
}

void TNodalNetwork::AddVoltageSource(const std::string &plus, const std::string &minus, Cx volts)
{
    const int a = Node(plus);
    const int b = Node(minus);
    Sources.push_back({a, b, volts});
}

Cx TNodalNetwork::NodeVoltage(long double frequency, const std::string &node) const
{
    const long double omega = 2 * std::numbers::pi_v<long double> * frequency;
    const int nodes = int(Names.size()) - 1; // ground is not a variable
    std::vector<Source> sources = Sources;
    struct Admittance {
        int From, To;
        Cx Y;
    };
    std::vector<Admittance> admittances;
    for (const Branch &branch : Branches) {
        Cx z = branch.Value;
        if (branch.Kind == Branch::C)
            z = Cx(0, -1) / (omega * branch.Value.real());
        else if (branch.Kind == Branch::L)
            z = Cx(0, omega * branch.Value.real());
        if (z == Cx(0, 0))
            sources.push_back({branch.From, branch.To, Cx(0, 0)}); // a short: 0 V source
        else
            admittances.push_back({branch.From, branch.To, Cx(1, 0) / z});
    }

    const int n = nodes + int(sources.size());
    std::vector<Cx> A(std::size_t(n) * n);
    std::vector<Cx> b(n);
    auto at = [&](int row, int column) -> Cx & { return A[std::size_t(row) * n + column]; };
    for (const Admittance &y : admittances) {
        const int p = y.From - 1;
        const int q = y.To - 1;
        if (p >= 0)
            at(p, p) += y.Y;
        if (q >= 0)
            at(q, q) += y.Y;
        if (p >= 0 && q >= 0) {
            at(p, q) -= y.Y;
            at(q, p) -= y.Y;
        }
    }
    for (std::size_t k = 0; k < sources.size(); ++k) {
        const int row = nodes + int(k);
        const int p = sources[k].Plus - 1;
        const int q = sources[k].Minus - 1;
        if (p >= 0) {
            at(p, row) += 1;
            at(row, p) += 1;
        }
        if (q >= 0) {
            at(q, row) -= 1;
            at(row, q) -= 1;
        }
        b[row] = sources[k].Volts;
    }
    const std::vector<Cx> x = SolveDense(std::move(A), std::move(b));
    for (std::size_t i = 1; i < Names.size(); ++i)
        if (Names[i] == node)
            return x[i - 1];
    if (node == "G")
        return 0;
    throw std::invalid_argument("no node " + node);
}

std::vector<Cx> SolveDense(std::vector<Cx> A, std::vector<Cx> b)
{
    const std::size_t n = b.size();
    auto at = [&](std::size_t row, std::size_t column) -> Cx & { return A[row * n + column]; };
    for (std::size_t col = 0; col < n; ++col) {
        std::size_t pivot = col;
        for (std::size_t row = col + 1; row < n; ++row)
            if (std::abs(at(row, col)) > std::abs(at(pivot, col)))
                pivot = row;
        if (std::abs(at(pivot, col)) == 0)
            throw std::runtime_error("singular nodal matrix");
        if (pivot != col) {
            for (std::size_t k = 0; k < n; ++k)
                std::swap(at(col, k), at(pivot, k));
            std::swap(b[col], b[pivot]);
        }
        for (std::size_t row = col + 1; row < n; ++row) {
            const Cx factor = at(row, col) / at(col, col);
            if (factor == Cx(0, 0))
                continue;
            for (std::size_t k = col; k < n; ++k)
                at(row, k) -= factor * at(col, k);
            b[row] -= factor * b[col];
        }
    }
    std::vector<Cx> x(n);
    for (std::size_t i = n; i-- > 0;) {
        Cx sum = b[i];
        for (std::size_t k = i + 1; k < n; ++k)
            sum -= at(i, k) * x[k];
        x[i] = sum / at(i, i);
    }
    return x;
}

long double TaperFraction(int potType, int position)
{
    const long double x = position / 100.0L;
    switch (potType) {
    case 1:
        return x < 0.5L ? 0.6L * x : 1.4L * x - 0.4L;
    case 2:
        return x < 0.5L ? 0.2L * x : 1.8L * x - 0.8L;
    default:
        return x;
    }
}

long double PotPart(const TCircuit &circuit, const char *name, TSlider slider)
{
    const long double f = TaperFraction(circuit.Symbols.GetPotType(name), circuit.Position(slider));
    return circuit.Symbols.GetValue(name) * f + 1;
}

long double PotRest(const TCircuit &circuit, const char *name, TSlider slider)
{
    const long double f = TaperFraction(circuit.Symbols.GetPotType(name), circuit.Position(slider));
    return circuit.Symbols.GetValue(name) * (1 - f) + 1;
}

TNodalNetwork BuildNetwork(const TCircuit &c, std::string &out)
{
    const auto &s = c.Symbols;
    auto v = [&s](const char *name) -> long double { return s.GetValue(name); };
    const TSlider bass = TSlider::Bass, mid = TSlider::Mid, treble = TSlider::Treble;

    TNodalNetwork n;
    // The 1 V source sits between ground and the internal node S, in series
    // with the source resistance from S to A.
    n.AddVoltageSource("S", "G", 1);
    auto source = [&](const char *name) { n.AddResistor("S", "A", v(name)); };

    switch (c.Active) {
    case Topology::Fender:
        source("FG");
        n.AddResistor("A", "B", v("FR1"));
        n.AddCapacitor("A", "T", v("FC1"));
        n.AddResistor("T", "W", PotRest(c, "FR2", treble)); // top to wiper
        n.AddResistor("W", "M", PotPart(c, "FR2", treble)); // wiper to bottom
        n.AddCapacitor("B", "M", v("FC2"));
        n.AddCapacitor("B", "K", v("FC3"));
        n.AddResistor("M", "K", PotPart(c, "FR3", bass));
        n.AddResistor("K", "G", PotPart(c, "FR4", mid));
        n.AddResistor("W", "G", v("FR5"));
        out = "W";
        break;
    case Topology::Marshall:
        source("MG");
        n.AddResistor("A", "B", v("MR1"));
        n.AddCapacitor("A", "T", v("MC1"));
        n.AddResistor("T", "W", PotRest(c, "MR2", treble));
        n.AddResistor("W", "M", PotPart(c, "MR2", treble));
        n.AddCapacitor("B", "M", v("MC2"));
        n.AddCapacitor("B", "K", v("MC3"));
        n.AddResistor("M", "J", PotPart(c, "MR3", bass)); // bass to the mid pot's top
        n.AddResistor("J", "K", PotRest(c, "MR4", mid));  // mid top to wiper
        n.AddResistor("K", "G", PotPart(c, "MR4", mid));  // mid wiper to ground
        n.AddResistor("W", "G", v("MR5"));
        out = "W";
        break;
    case Topology::Vox:
        source("VG");
        n.AddResistor("A", "B", v("VR1"));
        n.AddCapacitor("A", "T", v("VC3"));
        n.AddResistor("T", "W", PotRest(c, "VR3", treble));
        n.AddResistor("W", "M", PotPart(c, "VR3", treble));
        n.AddCapacitor("B", "M", v("VC2"));
        n.AddCapacitor("B", "D", v("VC1"));
        n.AddResistor("D", "G", v("VR2"));
        n.AddResistor("D", "X", 0.001L); // the wire to the bass wiper
        n.AddResistor("M", "X", PotPart(c, "VR4", bass));
        n.AddResistor("X", "G", PotRest(c, "VR4", bass));
        n.AddResistor("W", "G", v("VR5"));
        out = "W";
        break;
    case Topology::James:
        source("BG");
        n.AddResistor("A", "U", v("BR1"));
        n.AddResistor("U", "P", PotRest(c, "BR2", bass));
        n.AddCapacitor("U", "P", v("BC1"));
        n.AddResistor("P", "Q", PotPart(c, "BR2", bass));
        n.AddCapacitor("P", "Q", v("BC2"));
        n.AddResistor("Q", "G", v("BR3"));
        n.AddResistor("P", "T", v("BR4"));
        n.AddCapacitor("A", "X", v("BC3"));
        n.AddResistor("X", "T", PotRest(c, "BR6", treble));
        n.AddResistor("T", "Y", PotPart(c, "BR6", treble));
        n.AddCapacitor("Y", "G", v("BC4"));
        n.AddResistor("T", "G", v("BR5"));
        out = "T";
        break;
    case Topology::ESeries:
        source("EG");
        n.AddCapacitor("A", "Y", v("EC2"));
        n.AddResistor("Y", "W", PotRest(c, "ER1", treble)); // lower end to wiper
        n.AddResistor("W", "Z", PotPart(c, "ER1", treble)); // wiper to upper end
        n.AddCapacitor("Z", "G", v("EC1"));
        n.AddCapacitor("A", "B", v("EC3"));
        n.AddResistor("B", "G", v("ER2"));
        n.AddResistor("B", "K", v("ER3"));
        n.AddResistor("K", "G", PotPart(c, "ER4", bass));
        n.AddResistor("K", "Q", PotRest(c, "ER4", bass));
        n.AddCapacitor("Q", "G", v("EC4"));
        n.AddResistor("K", "W", v("ER5"));
        out = "W";
        break;
    case Topology::Bench:
        source("SG");
        n.AddResistor("A", "W1", PotRest(c, "SR1", mid));
        n.AddResistor("W1", "G", PotPart(c, "SR1", mid));
        n.AddResistor("A", "W2", PotRest(c, "SR2", bass));
        n.AddResistor("W2", "G", PotPart(c, "SR2", bass));
        n.AddResistor("A", "W3", PotRest(c, "SR3", treble));
        n.AddResistor("W3", "G", PotPart(c, "SR3", treble));
        n.AddResistor("A", "N", v("SR4"));
        n.AddResistor("N", "G", v("SR5"));
        n.AddCapacitor("W1", "X1", v("SC1"));
        n.AddInductor("X1", "Y1", v("SL1"));
        n.AddResistor("Y1", "N", s.GetValueR("SL1"));
        n.AddInductor("W2", "Y2", v("SL2"));
        n.AddResistor("Y2", "N", s.GetValueR("SL2"));
        n.AddCapacitor("W3", "N", v("SC2"));
        out = "N";
        break;
    case Topology::BigMuff:
        source("PG");
        n.AddCapacitor("A", "U", v("PC1"));
        n.AddResistor("A", "L", v("PR1"));
        n.AddCapacitor("L", "G", v("PC2"));
        n.AddResistor("U", "G", v("PR2"));
        n.AddResistor("U", "W", PotRest(c, "PR3", mid));
        n.AddResistor("W", "L", PotPart(c, "PR3", mid));
        n.AddResistor("W", "G", v("PR4"));
        out = "W";
        break;
    }
    return n;
}

long double NodalGainDB(const TCircuit &circuit, long double frequency)
{
    std::string out;
    const TNodalNetwork network = BuildNetwork(circuit, out);
    return 20 * std::log10(std::abs(network.NodeVoltage(frequency, out)));
}

} // namespace cvatest
