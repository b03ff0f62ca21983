#pragma once

// Component values as people write them: a plain decimal number followed by at
// most one SI prefix letter ("250k", "22n", "1M"). The decimal separator is
// passed in by the caller, who knows the user's locale; the circuit file
// always writes '.'.

#include <string>
#include <string_view>

namespace cva {

// Reads engineering notation. Raises CorvantaError 'Unable to convert "S"', S quoted
// as QuoteExcerpt does.
double EngStrToFloat(std::string_view text, char decimalSeparator = '.');

// Writes engineering notation: 15 significant digits and the prefix letter.
std::string FloatToEngStr(double value, char decimalSeparator = '.');

// The general number format: 15 significant digits, no trailing zeros, fixed
// notation for decimal exponents -3..15, otherwise "2.5E-10".
std::string FormatGeneral(long double value, char decimalSeparator = '.');

// Reads a plain number (no prefix letter): blanks around it, a sign, digits
// with an optional fraction after one of the accepted separators, an optional
// exponent. Raises "'S' is not a valid floating point value". Accepts '.'
// and the given separator.
double ParsePlainNumber(std::string_view text, char decimalSeparator = '.');

// Reads a decimal integer (optional sign). Raises "'S' is not a valid integer value".
int ParseInteger(std::string_view text);

} // namespace cva
