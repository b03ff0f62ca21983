#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace cva {

// Offending text as an error message quotes it: between the quote characters,
// at most MaxQuotedCharacters characters of it, followed by "..." when it is
// longer, with control characters and bytes that are no UTF-8 written
// visibly ("\0", "\t", "\x1B"), so that a message is never cut short by a
// NUL byte nor swamped by a value of megabytes.
constexpr std::size_t MaxQuotedCharacters = 60;
std::string QuoteExcerpt(std::string_view text, char quote);

} // namespace cva
