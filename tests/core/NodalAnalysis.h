#pragma once

// A small, self-contained modified nodal analysis used to check the loop
// models: impedance branches between named nodes, ideal voltage sources, and
// a dense complex solve by Gaussian elimination with partial pivoting.
// It shares nothing with the models but the component store it reads from.

#include <complex>
#include <string>
#include <vector>

#include "document/Circuit.h"

namespace cvatest {

using Cx = std::complex<long double>;

class TNodalNetwork {
public:
    // Node "G" is ground and always present.
    void AddImpedance(const std::string &from, const std::string &to, Cx impedance);
    void AddResistor(const std::string &from, const std::string &to, long double ohms);
    void AddCapacitor(const std::string &from, const std::string &to, long double farads);
    void AddInductor(const std::string &from, const std::string &to, long double henries);
    // Ideal source: V(plus) - V(minus) = volts.
    void AddVoltageSource(const std::string &plus, const std::string &minus, Cx volts);

    // Solves at the given frequency and returns the voltage of a node against ground.
    Cx NodeVoltage(long double frequency, const std::string &node) const;

private:
    struct Branch {
        int From, To;
        enum { Z, C, L } Kind;
        Cx Value;
    };
    struct Source {
        int Plus, Minus;
        Cx Volts;
    };
    int Node(const std::string &name);
    std::vector<std::string> Names{"G"};
    std::vector<Branch> Branches;
    std::vector<Source> Sources;
};

// Solves A x = b in place (A is n x n, row-major); throws on a singular matrix.
std::vector<Cx> SolveDense(std::vector<Cx> A, std::vector<Cx> b);

// Taper law and pot sections, computed here from first principles.
long double TaperFraction(int potType, int position);
long double PotPart(const cva::TCircuit &circuit, const char *name, cva::TSlider slider);
long double PotRest(const cva::TCircuit &circuit, const char *name, cva::TSlider slider);

// The active topology of the circuit as a branch network with a 1 V source
// behind the source resistance, and the name of its output node.
TNodalNetwork BuildNetwork(const cva::TCircuit &circuit, std::string &outputNode);

// 20 log10 |V(out)| of the active topology at a frequency.
long double NodalGainDB(const cva::TCircuit &circuit, long double frequency);

} // namespace cvatest
