#pragma once

#include <cstddef>
#include <optional>
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
// The same without the quotes.
std::string Excerpt(std::string_view text);
// A message that names the user's words as they stand: each run of
// characters between blanks shown as Excerpt shows it.
std::string ExcerptWords(std::string_view text);

// The length of the well-formed UTF-8 sequence of two to four bytes at the
// start of text, or 0 (also for a plain ASCII byte).
std::size_t Utf8Length(std::string_view text);

// The number of characters of text when all of it is printable UTF-8 on one
// line: no control character (tab, line break, escape, NUL, C1 codes), no
// byte that is no UTF-8 and none of the invisible marks that reorder or hide
// text (bidirectional overrides, zero-width characters); otherwise nothing.
std::optional<std::size_t> PrintableCharacters(std::string_view text);

} // namespace cva
