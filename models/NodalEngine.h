#pragma once

// The circuit engine: modified nodal analysis of a netlist with a 1 V
// source, solved by dense complex LU with partial pivoting. Besides the
// output voltage it gives the group delay, from the exact derivative of the
// nodal equations with respect to angular frequency, and the impedance the
// source sees looking into the circuit.

#include "models/Calc.h"
#include "models/Netlist.h"
#include "numerics/ComplexLU.h"

namespace cva {

struct TNodalPoint {
    TCx Output;         // output voltage for a 1 V source
    double GroupDelay;  // seconds: -d(phase)/d(omega)
    TCx InputImpedance; // ohms, seen from the source into the input node
};

class TNodalEngine {
public:
    // Checks the netlist: a capacitance or inductance that is not positive,
    // a value that is not finite, or a node out of range is an error naming
    // the circuit and the component.
    explicit TNodalEngine(const TNetlist &netlist);

    // The output voltage alone, the cheapest solve.
    TCx Output(double frequency);
    TNodalPoint Point(double frequency);

private:
    // A cell of the nodal matrix from the branches whose admittance is
    // constant or grows with omega: its value is Constant + omega * PerOmega.
    struct TStampCell {
        int Row, Column;
        TCx Constant, PerOmega;
    };

    void NumberAlongTheCircuit();
    void CollectStamps();
    void Factor(double omega, double frequency);
    TCx Voltage(int node) const;
    [[noreturn]] void Fail(const char *what, double frequency) const;

    TNetlist Net; // its own copy, so an engine may be built from a temporary
    TNodeUnknowns Unknown{};
    int Order = 0;
    int SourceRow = -1; // the source current's unknown when the source has no resistance
    TBand Band{};
    std::array<TStampCell, 4 * MaxNetBranches + 3> Cells;
    int CellCount = 0;
    std::array<int, MaxNetBranches> Restamped; // branches whose admittance is stamped at each frequency
    int RestampedCount = 0;
    TComplexLU LU;
    std::array<TCx, MaxLUOrder> Rhs{};
    std::array<TCx, MaxLUOrder> X{};
};

// The five quantities over the frequency grid.
struct TResponseCurves {
    TTrace GainDB{};
    TTrace PhaseDeg{};      // unwrapped along the grid
    TTrace GroupDelayS{};
    TTrace ImpedanceOhm{};  // magnitude of the input impedance
    TTrace ImpedancePhaseDeg{};
};

// Sweeps the engine over the grid at the given resolution step, joining the
// evaluated points by straight lines as the live trace does. Throws, and
// leaves 'curves' alone, when any point is not finite.
void CalcCurves(const TNetlist &netlist, int step, TResponseCurves &curves);
// Gain only, for response maps.
void CalcGainCurve(const TNetlist &netlist, int step, TTrace &gain);

// How many sweeps over the grid the engine has made in this process, so that
// a test can hold one change of the circuit to one sweep.
long EngineSweepCount();

} // namespace cva
