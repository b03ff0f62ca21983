#include "io/KeyValueLines.h"

namespace cva {

namespace {

TKeyValueLine Split(int number, std::string_view line)
{
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos)
        return {number, line, {}, {}};
    return {number, line, line.substr(0, equals), line.substr(equals + 1)};
}

} // namespace

std::vector<TKeyValueLine> KeyValueLines(std::string_view text, TLineBreaks breaks)
{
    const std::string_view ends = breaks == TLineBreaks::Newline ? "\n" : "\r\n";
    std::vector<TKeyValueLine> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of(ends, start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (breaks == TLineBreaks::Newline && !line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(Split(int(lines.size()) + 1, line));
        // "\r\n" is one break.
        start = end + (text.substr(end, 2) == "\r\n" && breaks == TLineBreaks::NewlineOrReturn ? 2 : 1);
    }
    return lines;
}

} // namespace cva
