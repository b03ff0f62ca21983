#include <gtest/gtest.h>

#include "models/Calc.h"

using namespace cva;

namespace {

TTrace Flat(double value)
{
    TTrace trace;
    trace.fill(value);
    return trace;
}

} // namespace

TEST(TraceStore, SnapshotShiftsTracesColoursAndQuantitiesUpNewestFirst)
{
    TTraceStore store;
    store.Traces[0] = Flat(-1);
    store.TraceColours[0] = 0x00FF00;
    store.Quantities[0] = {Flat(-10), Flat(1e-3), Flat(1e4)};
    ASSERT_TRUE(store.Snapshot());
    store.Traces[0] = Flat(-2);
    store.TraceColours[0] = 0xFF0000;
    store.Quantities[0] = {Flat(-20), Flat(2e-3), Flat(2e4)};
    ASSERT_TRUE(store.Snapshot());

    EXPECT_EQ(store.TraceCount, 3);
    EXPECT_EQ(store.Traces[1], Flat(-2));
    EXPECT_EQ(store.TraceColours[1], 0xFF0000u);
    EXPECT_EQ(store.Traces[2], Flat(-1));
    EXPECT_EQ(store.TraceColours[2], 0x00FF00u);
    EXPECT_EQ(store.Quantities[1].PhaseDeg, Flat(-20));
    EXPECT_EQ(store.Quantities[2].GroupDelayS, Flat(1e-3));
    EXPECT_EQ(store.Quantities[2].ImpedanceOhm, Flat(1e4));
}

TEST(TraceStore, TwentyThreeSnapshotsFillTheStoreAndAFurtherOneChangesNothing)
{
    TTraceStore store;
    for (int i = 0; i < MaxTraces - 1; ++i) {
        store.Traces[0] = Flat(-i);
        ASSERT_TRUE(store.Snapshot());
    }
    EXPECT_TRUE(store.IsFull());
    const TTraceStore before = store;
    store.Traces[0] = Flat(-99);
    EXPECT_FALSE(store.Snapshot());
    EXPECT_EQ(store.TraceCount, MaxTraces);
    EXPECT_EQ(store.Traces[1], before.Traces[1]);
    EXPECT_EQ(store.Traces[MaxTraces - 1], before.Traces[MaxTraces - 1]);

    store.Clear();
    EXPECT_EQ(store.TraceCount, 1);
    EXPECT_TRUE(store.Snapshot());
}

TEST(TraceStore, LabelsAndHiddenMarksTravelWithTheirTracesThroughSnapshotAndRemove)
{
    TTraceStore store;
    for (int i = 1; i <= 4; ++i) {
        store.Traces[0] = Flat(-i);
        ASSERT_TRUE(store.Snapshot("s" + std::to_string(i)));
    }
    store.Hidden[2] = true; // "s3"
    store.Remove(3);        // "s2"
    ASSERT_EQ(store.TraceCount, 4);
    const std::pair<const char *, double> expected[] = {{"s4", -4}, {"s3", -3}, {"s1", -1}};
    for (int slot = 1; slot <= 3; ++slot) {
        EXPECT_EQ(store.Labels[slot], expected[slot - 1].first);
        EXPECT_EQ(store.Traces[slot], Flat(expected[slot - 1].second));
        EXPECT_EQ(store.Shown(slot), slot != 2);
    }
    store.Traces[0] = Flat(-5);
    ASSERT_TRUE(store.Snapshot("s5"));
    EXPECT_TRUE(store.Shown(1));
    EXPECT_FALSE(store.Shown(3)) << "the hidden one moved up with its trace";
    store.Remove(0);
    store.Remove(store.TraceCount);
    EXPECT_EQ(store.TraceCount, 5) << "the live trace and slots out of use cannot be removed";
}
