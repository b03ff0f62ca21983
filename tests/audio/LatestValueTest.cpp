// The hand-over of coefficients to the audio thread, with two real threads:
// the consumer never sees a torn value, never goes back in time, and always
// ends up with the last value published.

#include <gtest/gtest.h>

#include <array>
#include <thread>

#include "audio/LatestValue.h"

using namespace cva;

namespace {

// Every element carries the same counter, so a value copied while being
// written shows up as a mix.
struct TStamped {
    std::array<long, 32> Counter{};
};

} // namespace

TEST(LatestValue, ConsumerSeesWholeValuesInOrderAndTheLastOne)
{
    constexpr long Count = 200000;
    TLatestValue<TStamped> exchange;
    std::thread producer([&] {
        for (long value = 1; value <= Count; ++value) {
            TStamped &slot = exchange.Back();
            slot.Counter.fill(value);
            exchange.Publish();
        }
    });
    long last = 0;
    long taken = 0;
    while (last < Count) {
        if (const TStamped *value = exchange.TakeNew()) {
            for (const long element : value->Counter)
                ASSERT_EQ(element, value->Counter[0]);
            ASSERT_GT(value->Counter[0], last);
            last = value->Counter[0];
            ++taken;
        }
    }
    producer.join();
    EXPECT_EQ(last, Count);
    EXPECT_GT(taken, 0);
    EXPECT_EQ(exchange.TakeNew(), nullptr);
}
