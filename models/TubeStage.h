#pragma once

// The output resistance of the triode stage that drives a tone stack, from
// the tube's small-signal figures at its operating point.

#include <span>

namespace cva {

struct TTriode {
    const char *Name;
    double PlateResistance;    // rp, ohms
    double Amplification;      // mu
    double Transconductance;   // gm, siemens (mu / rp at the same point)
};

// 12AX7, 12AT7, 12AU7 and 12AY7 at the typical operating points of their
// data sheets (250 V on the plate).
std::span<const TTriode> CommonTriodes();

// A common-cathode stage seen from its plate: the plate resistor in parallel
// with the tube's plate resistance, which an unbypassed cathode resistor
// raises by (mu + 1) times itself. A bypassed cathode counts as 0 ohms.
double CommonCathodeOutputResistance(const TTriode &tube, double plateResistor, double cathodeResistor,
                                     bool bypassed);

// A cathode follower seen from its cathode: about 1 / gm in parallel with the
// cathode resistor.
double CathodeFollowerOutputResistance(const TTriode &tube, double cathodeResistor);

} // namespace cva
