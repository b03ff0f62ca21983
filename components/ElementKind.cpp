#include "components/ElementKind.h"

namespace cva {

namespace {

using TCx = std::complex<double>;
constexpr TCx J(0.0, 1.0);

TCx ResistorAdmittance(double ohms, double, double) { return 1.0 / ohms; }

TCx CapacitorAdmittance(double farads, double, double omega) { return J * (omega * farads); }
TCx CapacitorSlope(double farads, double, double) { return J * farads; }

TCx InductorAdmittance(double henries, double ohms, double omega) { return 1.0 / TCx(ohms, omega * henries); }
TCx InductorSlope(double henries, double ohms, double omega)
{
    const TCx y = InductorAdmittance(henries, ohms, omega);
    return -J * henries * y * y;
}

using S = TStateStamp;
using V = TSecondValue;

constexpr TElementTraits Table[ElementKindCount] = {
    {"Resistor", "Resistance", "Ω", V::None, {}, 'R', S::Conductance, ResistorAdmittance, nullptr},
    {"Capacitor", "Capacitor value", "F", V::None, {}, 'C', S::Capacitance, CapacitorAdmittance, CapacitorSlope},
    {"Inductor", "Inductor value", "H", V::DcResistance, "DC resistance", 'L', S::BranchCurrent, InductorAdmittance,
     InductorSlope},
    {"Potentiometer", "Potentiometer value", "Ω", V::Taper, {}, 0, S::NotABranch, nullptr, nullptr},
    {"Generator", "Generator source resistance", "Ω", V::None, {}, 0, S::NotABranch, nullptr, nullptr},
};

} // namespace

const TElementTraits &Traits(TElementKind kind) { return Table[static_cast<int>(kind)]; }

} // namespace cva
