// The sweep runs between two repaints while a slider is dragged: it must not
// touch the heap. Counts every allocation made while sweeping each topology.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "models/BuiltInCircuits.h"
#include "document/Circuit.h"

namespace {
std::atomic<long> Allocations{0};
}

void *operator new(std::size_t size)
{
    ++Allocations;
    if (void *memory = std::malloc(size ? size : 1))
        return memory;
    throw std::bad_alloc();
}

// Every form that pairs with the deletes below, so that no allocation made by
// another form (the library's nothrow buffers, say) is freed by them.
void *operator new(std::size_t size, const std::nothrow_t &) noexcept
{
    ++Allocations;
    return std::malloc(size ? size : 1);
}

void operator delete(void *memory) noexcept { std::free(memory); }
void operator delete(void *memory, const std::nothrow_t &) noexcept { std::free(memory); }
void operator delete(void *memory, std::size_t) noexcept { std::free(memory); }

TEST(Sweep, AllocatesNothingOnAnyTopologyOrStep)
{
    using namespace cva;
    TCircuit circuit;
    TTrace live{};
    for (const TCircuitDef &info : BuiltInCircuits()) {
        circuit.Active = PageNamed(info.TabCaption);
        const TCalcParms parms = SetCalcParms(circuit);
        for (int step : {ResolutionHigh, ResolutionMedium, ResolutionLow}) {
            const long before = Allocations;
            info.Sweep(parms, step, live);
            EXPECT_EQ(Allocations - before, 0) << info.TabCaption << " step " << step;
        }
    }
}
