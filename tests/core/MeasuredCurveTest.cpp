// Reading measured curves and laying them on the grid.

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "document/MeasuredCurve.h"
#include "numerics/Error.h"

namespace {

using namespace cva;

std::string ErrorOf(std::string_view text)
{
    try {
        ParseMeasuredCurve(text);
    } catch (const CorvantaError &error) {
        return error.what();
    }
    return "(no error)";
}

TEST(MeasuredCurve, ReadsAnyOrderWithCommentsAndHeader)
{
    const TMeasuredCurve curve = ParseMeasuredCurve("# from the analyser\r\nfrequency_hz;gain_db;phase\r\n"
                                                    "10000; -20; -45\r\n\r\n100 ;0;0\r\n; a note\r\n1e3\t-10\t-30\r\n");
    ASSERT_EQ(curve.Points.size(), 3u);
    EXPECT_TRUE(curve.HasPhase);
    EXPECT_EQ(curve.Points[0].Frequency, 100);
    EXPECT_EQ(curve.Points[1].PhaseDeg, -30);
    EXPECT_EQ(curve.Points[2].GainDb, -20);
}

TEST(MeasuredCurve, RefusesABadFileWithItsLine)
{
    struct Case {
        const char *Text;
        const char *Error;
    };
    const Case cases[] = {
        {"100,0\n200,x\n", "line 2: 'x' is not a valid floating point value"},
        {"100,0\n200,1,5\n", "line 2: has 3 numbers where the lines before have 2"},
        {"# c\n100\n", "line 2: \"100\" is not frequency, dB and an optional phase"},
        {"100,0\n0,1\n", "line 2: the frequency must be above 0 Hz"},
        {"100,0\n300,1\n100,2\n", "line 3: the frequency 100 Hz is given twice (also on line 1)"},
        {"f,db\nf,db\n", "line 2: 'f' is not a valid floating point value"},
        {"100,0\n", "A curve needs at least two points of frequency and dB"},
        {"100,0\n200,1e999\n", "line 2: '1e999' is not a valid floating point value"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(ErrorOf(c.Text), c.Error) << c.Text;
}

TEST(MeasuredCurve, InterpolatesInLogFrequencyAndNeverBeyondItsEnds)
{
    const TTrace trace = MeasuredCurveOnGrid(ParseMeasuredCurve("100,0\n10000,-20\n"));
    for (int k = 0; k < GridPoints; ++k) {
        const double f = GridFrequency(GridFirstStep + k);
        if (f < 100 || f > 10000)
            EXPECT_TRUE(std::isnan(trace[std::size_t(k)])) << f;
        else
            EXPECT_NEAR(trace[std::size_t(k)], -10 * std::log10(f / 100), 1e-9) << f;
    }
}

} // namespace
