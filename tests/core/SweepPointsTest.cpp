// The Sweep's positions as the user writes them.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "document/SweepPoints.h"
#include "numerics/Error.h"

namespace {

using namespace cva;
using Points = std::vector<int>;

TEST(SweepPoints, ReadInOrderEachOnce)
{
    EXPECT_EQ(ParseSweepPoints("0, 25, 50, 75, 100"), (Points{0, 25, 50, 75, 100}));
    EXPECT_EQ(ParseSweepPoints(" 100;0 50\t50,,"), (Points{0, 50, 100}));
    EXPECT_EQ(ParseSweepPoints("+7"), (Points{7}));
    for (const Points &points : {DefaultSweepPoints, Points{3}, Points{0, 1, 99, 100}})
        EXPECT_EQ(ParseSweepPoints(FormatSweepPoints(points)), points);
}

TEST(SweepPoints, AnythingButWholePositionsIsRefusedByName)
{
    for (const char *text : {"101", "-1", "2.5", "fifty", "50 x", "1e2", "99999999999"}) {
        try {
            ParseSweepPoints(text);
            ADD_FAILURE() << text << " was read";
        } catch (const CorvantaError &error) {
            EXPECT_NE(std::string(error.what()).find("is not a slider position"), std::string::npos) << error.what();
        }
    }
    EXPECT_THROW(ParseSweepPoints(""), CorvantaError);
    EXPECT_THROW(ParseSweepPoints(" , ;"), CorvantaError);
}

} // namespace
