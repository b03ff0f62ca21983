// Engineering notation, the general number format and plain number reading.

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <string>

#include "components/EngNotation.h"
#include "numerics/Error.h"

namespace {

using namespace cva;

std::string ReadError(std::string_view text, char separator = '.')
{
    try {
        EngStrToFloat(text, separator);
    } catch (const CorvantaError &error) {
        return error.what();
    }
    return "(no error)";
}

TEST(EngStrToFloat, ReadsPrefixLetters)
{
    EXPECT_EQ(EngStrToFloat("250k"), 250000);
    EXPECT_EQ(EngStrToFloat("22n"), 22 * 1e-9);
    EXPECT_EQ(EngStrToFloat("4.7"), 4.7);
    EXPECT_EQ(EngStrToFloat("1M"), 1e6);
    EXPECT_DOUBLE_EQ(EngStrToFloat("100m"), 0.1);
    EXPECT_DOUBLE_EQ(EngStrToFloat("470p"), 4.7e-10);
    EXPECT_DOUBLE_EQ(EngStrToFloat("2.2u"), 2.2e-6);
    EXPECT_EQ(EngStrToFloat("1.5E3k"), 1.5e6);
    EXPECT_EQ(EngStrToFloat("-3k"), -3000);
    EXPECT_EQ(EngStrToFloat("0"), 0);
    EXPECT_EQ(EngStrToFloat(" 47 k"), 47000);
    EXPECT_EQ(EngStrToFloat("12\x7f"), 12); // the unit position of the prefix table
    EXPECT_EQ(EngStrToFloat(".5k"), 500);
    EXPECT_EQ(EngStrToFloat("5.k"), 5000);
}

TEST(EngStrToFloat, ReportsTheTextItCouldNotRead)
{
    EXPECT_EQ(ReadError("10K"), "Unable to convert \"10K\"");
    EXPECT_EQ(ReadError("abc"), "Unable to convert \"abc\"");
    EXPECT_EQ(ReadError("abck"), "Unable to convert \"abc\"");
    EXPECT_EQ(ReadError("k"), "Unable to convert \"\"");
    EXPECT_EQ(ReadError(""), "Unable to convert \"\"");
    EXPECT_EQ(ReadError("1kk"), "Unable to convert \"1k\"");
    for (const char *text : {"10G", "1f", "3U", "2N", "4P", "1 2", "1e", "1e+", "-", ".", "+k", "1,5"})
        EXPECT_THROW(EngStrToFloat(text), CorvantaError) << text;
}

// What a message quotes of the text: never cut short by a NUL, never more
// than 60 characters, control characters visible, UTF-8 kept whole.
TEST(EngStrToFloat, QuotesAShortVisibleExcerpt)
{
    using namespace std::string_literals;
    EXPECT_EQ(ReadError("25\0k"s), "Unable to convert \"25\\0\"");
    EXPECT_EQ(ReadError("1\x7f\t2\r\n\x1b"), "Unable to convert \"1\\x7F\\t2\\r\\n\\x1B\"");
    EXPECT_EQ(ReadError(std::string(10'000'000, '9') + "x"), "Unable to convert \"" + std::string(60, '9') + "...\"");
    EXPECT_EQ(ReadError(std::string(59, '9') + "x"), "Unable to convert \"" + std::string(59, '9') + "x\"");
    // Characters of two bytes are cut whole; bytes that are no UTF-8 are shown.
    std::string wide;
    for (int i = 0; i < 61; ++i)
        wide += "\u00b5";
    EXPECT_EQ(ReadError(wide), "Unable to convert \"" + wide.substr(0, 120) + "...\"");
    EXPECT_EQ(ReadError("4\xff\xc3"), "Unable to convert \"4\\xFF\\xC3\"");
    try {
        ParsePlainNumber("1\0"s + std::string(5'000'000, '0'));
        FAIL() << "no error";
    } catch (const CorvantaError &error) {
        EXPECT_EQ(std::string(error.what()), "'1\\0" + std::string(58, '0') + "...' is not a valid floating point value");
    }
}

TEST(EngStrToFloat, RejectsAnythingButPlainDecimals)
{
    for (const char *text : {"nan", "NaN", "inf", "-inf", "infinity", "0x10", "0x1p3", "\t1", "1\t", "1\n", "1k ",
                             "1e309", "-1e309", "1e308M", "1e400p", "1.5k5", "--1", "+-1"})
        EXPECT_THROW(EngStrToFloat(text), CorvantaError) << '"' << text << '"';
    EXPECT_EQ(EngStrToFloat("1e308"), 1e308);
    EXPECT_EQ(EngStrToFloat("1e302M"), 1e308);
}

TEST(EngStrToFloat, UsesTheGivenDecimalSeparator)
{
    EXPECT_EQ(EngStrToFloat("4,7k", ','), 4700);
    EXPECT_EQ(ReadError("4.7k", ','), "Unable to convert \"4.7\"");
    EXPECT_THROW(EngStrToFloat("4,7k", '.'), CorvantaError);
    EXPECT_EQ(FloatToEngStr(4700, ','), "4,7k");
    EXPECT_EQ(FloatToEngStr(2.5e-10 * 1e-6, ','), "0,00025p");
}

TEST(FloatToEngStr, ChoosesTheRangeByValue)
{
    EXPECT_EQ(FloatToEngStr(250000), "250k");
    EXPECT_EQ(FloatToEngStr(2.2e-8), "22n");
    EXPECT_EQ(FloatToEngStr(4.7e-11), "47p");
    EXPECT_EQ(FloatToEngStr(1e6), "1M");
    EXPECT_EQ(FloatToEngStr(1000), "1k");
    EXPECT_EQ(FloatToEngStr(999), "999");
    EXPECT_EQ(FloatToEngStr(0.5), "500m");
    EXPECT_EQ(FloatToEngStr(1300), "1.3k");
    EXPECT_EQ(FloatToEngStr(6), "6");
    EXPECT_EQ(FloatToEngStr(20), "20");
    EXPECT_EQ(FloatToEngStr(0), "0p");
    EXPECT_EQ(FloatToEngStr(-5), "-5000000000000p");
    EXPECT_EQ(FloatToEngStr(2.5e9), "2500M");
    EXPECT_EQ(FloatToEngStr(999999), "999.999k");
}

TEST(FloatToEngStr, ThresholdsAreExactDecimalPowers)
{
    // The doubles nearest 1e-9 and 1e-3 lie above those powers, the one
    // nearest 1e-6 just below.
    EXPECT_EQ(FloatToEngStr(1e-9), "1n");
    EXPECT_EQ(FloatToEngStr(1e-6), "1000n");
    EXPECT_EQ(FloatToEngStr(1e-3), "1m");
    EXPECT_EQ(FloatToEngStr(std::nextafter(1e-9, 0.0)), "1000p");
    EXPECT_EQ(FloatToEngStr(std::nextafter(1e-6, 1.0)), "1u");
    EXPECT_EQ(FloatToEngStr(std::nextafter(1e-3, 0.0)), "1000u");
    EXPECT_EQ(FloatToEngStr(1), "1");
    EXPECT_EQ(FloatToEngStr(std::nextafter(1.0, 0.0)), "1000m");
    EXPECT_EQ(FloatToEngStr(std::nextafter(1000.0, 0.0)), "1000");
    EXPECT_EQ(FloatToEngStr(std::nextafter(1e6, 0.0)), "1000k");
}

TEST(FormatGeneral, FixedAndScientificNotation)
{
    EXPECT_EQ(FormatGeneral(2.5e-10), "2.5E-10");
    EXPECT_EQ(FormatGeneral(4.7e-8), "4.7E-8");
    EXPECT_EQ(FormatGeneral(1e-7), "1E-7");
    EXPECT_EQ(FormatGeneral(1e21), "1E21");
    EXPECT_EQ(FormatGeneral(250000), "250000");
    EXPECT_EQ(FormatGeneral(0.0001), "0.0001");
    EXPECT_EQ(FormatGeneral(0.00012), "0.00012");
    EXPECT_EQ(FormatGeneral(1e-5), "1E-5");
    EXPECT_EQ(FormatGeneral(0.001), "0.001");
    EXPECT_EQ(FormatGeneral(1e14), "100000000000000");
    EXPECT_EQ(FormatGeneral(999999999999999.0), "999999999999999");
    EXPECT_EQ(FormatGeneral(1e15), "1E15");
    EXPECT_EQ(FormatGeneral(1e16), "1E16");
    EXPECT_EQ(FormatGeneral(123456789012345678.0), "1.23456789012346E17");
    EXPECT_EQ(FormatGeneral(1.0 / 3), "0.333333333333333");
    EXPECT_EQ(FormatGeneral(2.0 / 3), "0.666666666666667");
    EXPECT_EQ(FormatGeneral(-1.5), "-1.5");
    EXPECT_EQ(FormatGeneral(0), "0");
    EXPECT_EQ(FormatGeneral(-0.0), "0");
    EXPECT_EQ(FormatGeneral(999999999999999.9), "1E15");
    EXPECT_EQ(FormatGeneral(9.999999999999999e15), "1E16");
    EXPECT_EQ(FormatGeneral(DBL_MAX), "1.79769313486232E308");
    EXPECT_EQ(FormatGeneral(4.9e-324), "4.94065645841247E-324");
    EXPECT_EQ(FormatGeneral(1.25, ','), "1,25");
}

TEST(FormatGeneral, MatchesPrintfG15)
{
    // Same switch between fixed and scientific notation and same digits as %.15G.
    for (double value : {1.0, 12.5, 1e-4, 9.99e-5, 3.14159265358979, 6.02214076e23, 1.6e-19, 123456.789,
                         1e14 + 0.5, 7e15, 8.5e-3}) {
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%.15G", value);
        std::string expected = buffer;
        const auto e = expected.find('E');
        if (e != std::string::npos) {
            const int exponent = std::stoi(expected.substr(e + 1));
            expected = expected.substr(0, e + 1) + std::to_string(exponent);
        }
        EXPECT_EQ(FormatGeneral(value), expected) << value;
    }
}

TEST(EngNotation, RoundTripKeepsFifteenDigits)
{
    for (double value : {250000.0, 2.2e-8, 4.7e-11, 1e6, 1300.0, 0.5, 6.0, 38000.0, 1.0 / 3, 2.718281828459045e-7,
                         -47.5, 123456789.0, 9.87654321e-13, 1e-15, 3.3e12}) {
        const std::string text = FloatToEngStr(value);
        const double back = EngStrToFloat(text);
        EXPECT_NEAR(back, value, std::fabs(value) * 1e-14) << text;
        EXPECT_EQ(FloatToEngStr(back), text);
        const std::string comma = FloatToEngStr(value, ',');
        EXPECT_EQ(EngStrToFloat(comma, ','), back) << comma;
    }
    // Values with at most 15 significant digits come back exactly.
    for (double value : {4.7e-10, 1e-7, 2.5e-10, 517000.0, 6.8e-9, 0.001})
        EXPECT_EQ(ParsePlainNumber(FormatGeneral(value)), value);
}

TEST(ParsePlainNumber, AcceptsPointAndTheGivenSeparatorOnly)
{
    EXPECT_EQ(ParsePlainNumber("4.7E-8"), 4.7e-8);
    EXPECT_EQ(ParsePlainNumber("4,7E-8", ','), 4.7e-8);
    EXPECT_EQ(ParsePlainNumber("4.7E-8", ','), 4.7e-8);
    EXPECT_EQ(ParsePlainNumber(" -250000 "), -250000);
    EXPECT_EQ(ParsePlainNumber("1e308"), 1e308);
    // What the largest doubles are written as reads back.
    EXPECT_EQ(ParsePlainNumber(FormatGeneral(DBL_MAX)), DBL_MAX);
    EXPECT_EQ(ParsePlainNumber(FormatGeneral(-DBL_MAX)), -DBL_MAX);
    EXPECT_EQ(EngStrToFloat(FloatToEngStr(DBL_MAX)), DBL_MAX);
    EXPECT_THROW(ParsePlainNumber("1.79769313486233E308"), CorvantaError);
    try {
        ParsePlainNumber("100k");
        FAIL() << "no error";
    } catch (const CorvantaError &error) {
        EXPECT_STREQ(error.what(), "'100k' is not a valid floating point value");
    }
    for (const char *text : {"", " ", "4,7", "abc", "nan", "inf", "0x1", "1e309", "\t5", "5;", "1..2", "1.2.3"})
        EXPECT_THROW(ParsePlainNumber(text), CorvantaError) << '"' << text << '"';
}

TEST(ParseInteger, ReadsSignedDecimalsOnly)
{
    EXPECT_EQ(ParseInteger("50"), 50);
    EXPECT_EQ(ParseInteger("-7"), -7);
    EXPECT_EQ(ParseInteger("+150"), 150);
    EXPECT_EQ(ParseInteger("2147483647"), 2147483647);
    try {
        ParseInteger("1.5");
        FAIL() << "no error";
    } catch (const CorvantaError &error) {
        EXPECT_STREQ(error.what(), "'1.5' is not a valid integer value");
    }
    for (const char *text : {"", "-", "+", "abc", "12a", "2147483648", "-2147483649", "99999999999999999999", "0x10",
                             "--1", "+-1"})
        EXPECT_THROW(ParseInteger(text), CorvantaError) << '"' << text << '"';
}

} // namespace
