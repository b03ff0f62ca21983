// The classic stack with the whole mid pot in the lower leg: the bass pot
// meets the mid pot's top, and the mid wiper is the leg's top K.

#include "models/ClassicStack.h"
#include "pages/BuiltInPage.h"

namespace cva {

namespace {

using S = TSlotSource;
using P = TCalcParms;

double MarshallResponse(const TCalcParms &p, double frequency)
{
    return ClassicStackResponse(p, frequency, static_cast<double>(Extended(p.R3) + p.R4a), p.R4b);
}

} // namespace

TCircuitDef MarshallCircuit()
{
    TCircuitDef page = BuiltInPage(R"(Marshall
*corvanta: page M
*corvanta: picture marshall
* As on the Fender page, with J the mid pot's top and K its wiper.
V1 in 0 AC 1
RG in A 1.3k
R1 A B 33k
PR2 M W T 220k linear control=Treble
PR3 M J J 1meg logB control=Bass
PR4 0 K J 25k linear control=Mid
R5 W 0 517k
C1 A T 470p
C2 B M 22n
C3 B K 22n
.print ac v(W)
.end
)");
    page.PageOrder = 3;
    page.Loop = TLoopModel{MarshallResponse, {
        {&P::R1, "MR1"},
        {&P::R2a, "MR2", S::Rest},
        {&P::R2b, "MR2", S::Part},
        {&P::R3, "MR3", S::Part},
        {&P::R4a, "MR4", S::Rest},
        {&P::R4b, "MR4", S::Part},
        {&P::R5, "MR5"},
        {&P::C1, "MC1"},
        {&P::C2, "MC2"},
        {&P::C3, "MC3"},
        {&P::RG, "MG"},
    }};
    return page;
}

} // namespace cva
