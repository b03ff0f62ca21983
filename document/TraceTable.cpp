#include "document/TraceTable.h"

#include <array>
#include <charconv>

namespace cva {

std::string ShortestNumber(double value)
{
    std::array<char, 64> buffer{};
    // A zero without its sign: the group delay of a network without
    // reactance comes out as -0, which means nothing to a reader.
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value == 0 ? 0.0 : value);
    return std::string(buffer.data(), result.ptr);
}

std::string TraceTableCsv(const TTraceStore &store)
{
    std::vector<TTableColumn> columns{{"live", 0}};
    for (int t = 1; t < store.TraceCount; ++t)
        columns.push_back({"snapshot_" + std::to_string(t), t});
    return TraceTable(store, columns, ',');
}

namespace {

std::string Field(const std::string &text, char separator)
{
    if (text.find_first_of(std::string{separator, '"', '\n', '\r'}) == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (char c : text)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + '"';
}

} // namespace

std::string TraceTable(const TTraceStore &store, const std::vector<TTableColumn> &columns, char separator)
{
    std::string out = "frequency_hz";
    for (const TTableColumn &column : columns)
        out += separator + Field(column.Name, separator);
    out += '\n';
    for (int k = 0; k < GridPoints; ++k) {
        out += ShortestNumber(GridFrequency(GridFirstStep + k));
        for (const TTableColumn &column : columns)
            out += separator + ShortestNumber(store.Traces[column.Slot][k]);
        out += '\n';
    }
    return out;
}

std::string ResponseMapCsv(const std::vector<TTrace> &curves)
{
    std::string out = "position,frequency_hz,gain_db\n";
    for (std::size_t position = 0; position < curves.size(); ++position)
        for (int k = 0; k < GridPoints; ++k)
            out += std::to_string(position) + ',' + ShortestNumber(GridFrequency(GridFirstStep + k)) + ',' +
                   ShortestNumber(curves[position][k]) + '\n';
    return out;
}

} // namespace cva
