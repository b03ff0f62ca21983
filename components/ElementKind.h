#pragma once

// The kinds of element a circuit is made of, and what sets each kind apart:
// the name the user sees, its value fields and their units, how it conducts
// in the frequency domain and how it enters the state form of the audio
// filter. Everything that depends on the kind reads it here, so a new kind
// is one row of the table.

#include <complex>
#include <string_view>

namespace cva {

// The order is that of the edit dialogs, which the front end keeps one of
// each.
enum class TElementKind { Resistor, Capacitor, Inductor, Pot, Generator };
constexpr int ElementKindCount = 5;

// What the second value of a component holds, besides its main value.
enum class TSecondValue { None, DcResistance, Taper };

// How a two-terminal element enters G x + C dx/dt = B v: its conductance
// into G, its capacitance into C, or a current of its own as an unknown (an
// inductor, so that it stays a plain real number). A pot enters as the
// resistors of its sections and the generator as the source, so neither is
// a branch by itself.
enum class TStateStamp { NotABranch, Conductance, Capacitance, BranchCurrent };

// The admittance of a branch at angular frequency omega, from its value and
// its series (DC) resistance.
using TAdmittance = std::complex<double> (*)(double value, double seriesResistance, double omega);

struct TElementTraits {
    std::string_view TypeName;   // "Potentiometer"
    std::string_view ValueLabel; // the edit dialog's value field
    std::string_view ValueUnit;  // "Ω", "F", "H"
    TSecondValue Second;
    std::string_view SecondLabel; // the edit dialog's field for a DC resistance
    char SpiceLetter;             // the letter of a SPICE element line; 0 for no branch
    TStateStamp StateStamp;
    TAdmittance Admittance;      // null for no branch
    TAdmittance AdmittanceSlope; // d admittance / d omega; null where it is constant
};

const TElementTraits &Traits(TElementKind kind);

} // namespace cva
