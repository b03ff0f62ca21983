// The classic stack with the mid pot as a variable resistor from the bass
// pot's lower end to ground.

#include "models/ClassicStack.h"
#include "pages/BuiltInPage.h"

namespace cva {

namespace {

using S = TSlotSource;
using P = TCalcParms;

double FenderResponse(const TCalcParms &p, double frequency)
{
    return ClassicStackResponse(p, frequency, p.R3, p.R4);
}

} // namespace

TCircuitDef FenderCircuit()
{
    TCircuitDef page = BuiltInPage(R"(Fender
*corvanta: page F
*corvanta: picture fender
* A input, T treble pot top, W treble wiper (output), M bass pot top, B the
* C2/C3 junction, K the top of the mid pot.
V1 in 0 AC 1
RG in A 38k
R1 A B 100k
PR2 M W T 250k logA control=Treble
PR3 M K K 250k logA control=Bass
PR4 K 0 0 10k linear control=Mid
R5 W 0 1meg
C1 A T 250p
C2 B M 100n
C3 B K 47n
.print ac v(W)
.end
)");
    page.PageOrder = 1;
    page.Loop = TLoopModel{FenderResponse, {
        {&P::R1, "FR1"},
        {&P::R2a, "FR2", S::Rest},
        {&P::R2b, "FR2", S::Part},
        {&P::R3, "FR3", S::Part},
        {&P::R4, "FR4", S::Part},
        {&P::R5, "FR5"},
        {&P::C1, "FC1"},
        {&P::C2, "FC2"},
        {&P::C3, "FC3"},
        {&P::RG, "FG"},
    }};
    return page;
}

} // namespace cva
