// The sweep runs between two repaints while a slider is dragged: it must not
// touch the heap. Counts every allocation made while sweeping each topology.

#include <gtest/gtest.h>

#include "AllocationCount.h"
#include "pages/BuiltInCircuits.h"
#include "document/Circuit.h"

TEST(Sweep, AllocatesNothingOnAnyTopologyOrStep)
{
    using namespace cva;
    TCircuit circuit;
    TTrace live{};
    for (const TCircuitDef &info : BuiltInCircuits()) {
        circuit.Active = PageNamed(info.TabCaption);
        const TCalcParms parms = SetCalcParms(circuit);
        for (int step : {ResolutionHigh, ResolutionMedium, ResolutionLow}) {
            const long before = test::Allocations;
            info.Sweep(parms, step, live);
            EXPECT_EQ(test::Allocations - before, 0) << info.TabCaption << " step " << step;
        }
    }
}
