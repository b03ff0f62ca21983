// The driving stage's output resistance against worked examples.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "models/TubeStage.h"

namespace {

using namespace cva;

const TTriode &Tube(const std::string &name)
{
    const auto tubes = CommonTriodes();
    return *std::find_if(tubes.begin(), tubes.end(), [&](const TTriode &t) { return t.Name == name; });
}

TEST(TubeStage, WorkedExamplesOfA12AX7)
{
    const TTriode &ax7 = Tube("12AX7");
    // 100k plate resistor: 100k || 62.5k with the cathode bypassed; with
    // 1.5k unbypassed the plate resistance grows by 101 x 1.5k to 214k.
    EXPECT_NEAR(CommonCathodeOutputResistance(ax7, 100e3, 1.5e3, true), 38'462, 1);
    EXPECT_NEAR(CommonCathodeOutputResistance(ax7, 100e3, 1.5e3, false), 68'153, 1);
    EXPECT_NEAR(CommonCathodeOutputResistance(ax7, 100e3, 820, false), 59'237, 1);
    // A follower: 1/1.6 mS = 625 ohms, in parallel with 100k.
    EXPECT_NEAR(CathodeFollowerOutputResistance(ax7, 100e3), 621.1, 0.1);
}

// Each data sheet's three figures belong to one operating point: mu = gm x rp.
TEST(TubeStage, FiguresOfEachTubeAgree)
{
    ASSERT_EQ(CommonTriodes().size(), 4u);
    for (const TTriode &tube : CommonTriodes())
        EXPECT_NEAR(tube.Transconductance * tube.PlateResistance / tube.Amplification, 1, 0.02) << tube.Name;
}

} // namespace
