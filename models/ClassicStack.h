#pragma once

// The classic three-knob stack shared by the Fender and Marshall pages:
// treble pot between two capacitor paths, bass and mid in the lower leg.

#include "models/Calc.h"

namespace cva {

// 'midToK' is the branch from the bass pot's lower end to the leg's top K,
// 'leg' the branch from K to ground.
double ClassicStackResponse(const TCalcParms &p, double frequency, double midToK, double leg);

} // namespace cva
