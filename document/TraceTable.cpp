#include "document/TraceTable.h"

#include <array>
#include <charconv>

namespace cva {

std::string ShortestNumber(double value)
{
    std::array<char, 64> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return std::string(buffer.data(), result.ptr);
}

std::string TraceTableCsv(const TTraceStore &store)
{
    std::string out = "frequency_hz,live";
    for (int t = 1; t < store.TraceCount; ++t)
        out += ",snapshot_" + std::to_string(t);
    out += '\n';
    for (int k = 0; k < GridPoints; ++k) {
        out += ShortestNumber(GridFrequency(GridFirstStep + k));
        for (int t = 0; t < store.TraceCount; ++t)
            out += ',' + ShortestNumber(store.Traces[t][k]);
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
