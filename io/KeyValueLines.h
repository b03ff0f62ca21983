#pragma once

// Texts made of "key=value" lines, as circuit files and presets are: split
// into numbered lines, each split at its first '='.

#include <string_view>
#include <vector>

namespace cva {

struct TKeyValueLine {
    int Number = 0;        // counted from 1 over every line of the text
    std::string_view Text; // the whole line, without its line break
    std::string_view Key;  // before the first '='; empty when there is none
    std::string_view Value;
};

// Where a line ends: at "\n" (a "\r" before it belongs to the break), or
// also at a lone "\r", as older programs wrote their files.
enum class TLineBreaks { Newline, NewlineOrReturn };

// Every line of the text, empty ones included; a text ending in a line break
// has no empty line after it.
std::vector<TKeyValueLine> KeyValueLines(std::string_view text, TLineBreaks breaks);

} // namespace cva
