#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "document/TraceTable.h"
#include "models/Calc.h"

using namespace cva;

namespace {

std::vector<std::string> Split(const std::string &text, char separator)
{
    std::vector<std::string> parts;
    std::istringstream in(text);
    for (std::string part; std::getline(in, part, separator);)
        parts.push_back(part);
    return parts;
}

double ReadBack(const std::string &text)
{
    char *end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    EXPECT_EQ(*end, '\0') << text;
    return value;
}

} // namespace

TEST(ShortestNumber, ReadsBackToTheSameDoubleInItsShortestForm)
{
    EXPECT_EQ(ShortestNumber(10), "10");
    EXPECT_EQ(ShortestNumber(0.1), "0.1");
    EXPECT_EQ(ShortestNumber(-21.5), "-21.5");
    EXPECT_EQ(ShortestNumber(-0.0), "0");
    for (double value : {1.0 / 3, -12.683927400012345, 29427.271762092818, 5e-324, -1.7976931348623157e308})
        EXPECT_EQ(ReadBack(ShortestNumber(value)), value) << ShortestNumber(value);
}

TEST(TraceTable, LiveOnlyGivesTwoColumnsOverTheWholeGrid)
{
    TTraceStore store;
    store.Traces[0].fill(-6.5);
    // A slot beyond the traces in use holds stale data that must not show.
    store.Traces[1].fill(-99);
    const auto lines = Split(TraceTableCsv(store), '\n');
    ASSERT_EQ(lines.size(), 1u + GridPoints);
    EXPECT_EQ(lines[0], "frequency_hz,live");
    EXPECT_EQ(lines[1], "10,-6.5");
    EXPECT_EQ(lines[1 + 256], "1000,-6.5");
    EXPECT_EQ(ReadBack(Split(lines.back(), ',')[0]), GridFrequency(GridLastStep));
}

TEST(TraceTable, EverySnapshotGetsAColumnNewestFirstAndEveryValueReadsBack)
{
    TTraceStore store;
    store.Traces[0].fill(-1);
    store.Snapshot();
    store.Traces[0].fill(-2);
    store.Snapshot();
    for (int k = 0; k < GridPoints; ++k)
        store.Traces[0][k] = -k / 7.0;

    const auto lines = Split(TraceTableCsv(store), '\n');
    ASSERT_EQ(lines.size(), 1u + GridPoints);
    EXPECT_EQ(lines[0], "frequency_hz,live,snapshot_1,snapshot_2");
    for (int k = 0; k < GridPoints; ++k) {
        const auto cells = Split(lines[1 + k], ',');
        ASSERT_EQ(cells.size(), 4u) << lines[1 + k];
        EXPECT_EQ(ReadBack(cells[0]), GridFrequency(GridFirstStep + k));
        EXPECT_EQ(ReadBack(cells[1]), -k / 7.0);
        EXPECT_EQ(cells[2], "-2");
        EXPECT_EQ(cells[3], "-1");
    }
}

TEST(TraceTable, AFullStoreHasTwentyFiveColumns)
{
    TTraceStore store;
    while (store.Snapshot()) {
    }
    const auto header = Split(Split(TraceTableCsv(store), '\n')[0], ',');
    ASSERT_EQ(header.size(), 1u + MaxTraces);
    EXPECT_EQ(header.back(), "snapshot_23");
}
