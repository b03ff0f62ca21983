// Splitting key=value texts: where lines end under each rule, how they are
// numbered, and where a line splits.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "io/KeyValueLines.h"

namespace {

using namespace cva;

std::string Shown(std::string_view text, TLineBreaks breaks)
{
    std::string shown;
    for (const TKeyValueLine &line : KeyValueLines(text, breaks))
        shown += std::to_string(line.Number) + "[" + std::string(line.Key) + "|" + std::string(line.Value) + "]";
    return shown;
}

TEST(KeyValueLines, LineBreaksNumbersAndSplits)
{
    using B = TLineBreaks;
    const struct {
        const char *Text;
        B Breaks;
        const char *Expected;
    } cases[] = {
        {"a=1\r\nb=2\r\n", B::Newline, "1[a|1]2[b|2]"},
        {"a=1\r\nb=2\r\n", B::NewlineOrReturn, "1[a|1]2[b|2]"},
        {"a=1\rb=2", B::Newline, "1[a|1\rb=2]"},
        {"a=1\rb=2", B::NewlineOrReturn, "1[a|1]2[b|2]"},
        {"a=1\r\r\nb", B::Newline, "1[a|1\r]2[|]"},
        {"a=1\r\r\nb", B::NewlineOrReturn, "1[a|1]2[|]3[|]"},
        {"\n\nk=a=b\n", B::Newline, "1[|]2[|]3[k|a=b]"},
        {"=v\nno equals", B::NewlineOrReturn, "1[|v]2[|]"},
        {"", B::Newline, ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(Shown(c.Text, c.Breaks), c.Expected) << c.Text;
}

} // namespace
