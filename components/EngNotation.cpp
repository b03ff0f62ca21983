#include "components/EngNotation.h"

#include <array>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>

#include "components/MessageQuote.h"
#include "numerics/Error.h"

namespace cva {

namespace {

using Extended = long double;

constexpr std::string_view PrefixLetters = "pnum\x7fkM";

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The largest doubles are written with 15 digits as a number that lies just
// beyond the range of a double; such a number reads back as the largest double.
std::optional<Extended> WithinDoubleRange(Extended value)
{
    constexpr Extended LargestWritten = 1.79769313486232e308L;
    if (std::fabs(value) <= DBL_MAX)
        return value;
    if (std::fabs(value) <= LargestWritten)
        return std::copysign(Extended(DBL_MAX), value);
    return std::nullopt;
}

// The strict number grammar shared by engineering notation and the plain
// format. Returns nothing for anything else, including nan, inf, hexadecimal,
// tabs, trailing text and values beyond the finite range of a double.
std::optional<Extended> ScanNumber(std::string_view text, char separator, bool alsoPoint)
{
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && text[begin] == ' ')
        ++begin;
    while (end > begin && text[end - 1] == ' ')
        --end;

    std::string normal;
    std::size_t i = begin;
    if (i < end && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-')
            normal += '-';
        ++i;
    }
    int mantissaDigits = 0;
    while (i < end && IsDigit(text[i])) {
        normal += text[i++];
        ++mantissaDigits;
    }
    if (i < end && (text[i] == separator || (alsoPoint && text[i] == '.'))) {
        normal += '.';
        ++i;
        while (i < end && IsDigit(text[i])) {
            normal += text[i++];
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0)
        return std::nullopt;
    if (i < end && (text[i] == 'e' || text[i] == 'E')) {
        normal += 'e';
        ++i;
        if (i < end && (text[i] == '+' || text[i] == '-'))
            normal += text[i++];
        int exponentDigits = 0;
        while (i < end && IsDigit(text[i])) {
            normal += text[i++];
            ++exponentDigits;
        }
        if (exponentDigits == 0)
            return std::nullopt;
    }
    if (i != end)
        return std::nullopt;

    Extended value = 0;
    const auto [ptr, ec] = std::from_chars(normal.data(), normal.data() + normal.size(), value);
    if (ec != std::errc() || ptr != normal.data() + normal.size())
        return std::nullopt;
    if (!std::isfinite(value))
        return std::nullopt;
    return WithinDoubleRange(value);
}

} // namespace

double EngStrToFloat(std::string_view text, char decimalSeparator)
{
    std::string_view s = text;
    auto fail = [&s]() { return CorvantaError("Unable to convert " + QuoteExcerpt(s, '"')); };
    if (s.empty())
        throw fail();
    Extended multiplier = 1;
    if (const auto i = PrefixLetters.find(s.back()); i != std::string_view::npos) {
        multiplier = static_cast<double>(std::pow(Extended(10), int(3 * i)) / Extended(1e12L));
        s.remove_suffix(1);
    }
    const auto number = ScanNumber(s, decimalSeparator, false);
    if (!number)
        throw fail();
    const auto result = WithinDoubleRange(*number * multiplier);
    if (!result)
        throw fail();
    return static_cast<double>(*result);
}

std::string FormatGeneral(Extended value, char decimalSeparator)
{
    if (std::isnan(value))
        return "NaN";
    if (std::isinf(value))
        return value < 0 ? "-INF" : "INF";
    if (value == 0)
        return "0";

    // d.dddddddddddddde+X: the value rounded to 15 significant digits.
    std::array<char, 64> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::scientific, 14);
    std::string_view text(buffer.data(), result.ptr - buffer.data());

    std::string out;
    if (text.front() == '-') {
        out += '-';
        text.remove_prefix(1);
    }
    const std::size_t ePos = text.find('e');
    std::string digits;
    for (char c : text.substr(0, ePos))
        if (IsDigit(c))
            digits += c;
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    int exponent = 0;
    std::string_view expText = text.substr(ePos + 1);
    if (expText.front() == '+')
        expText.remove_prefix(1);
    std::from_chars(expText.data(), expText.data() + expText.size(), exponent);
    const int e = exponent + 1; // the value is 0.D x 10^e

    if (e >= -3 && e <= 15) {
        if (e <= 0) {
            out += '0';
            out += decimalSeparator;
            out.append(static_cast<std::size_t>(-e), '0');
            out += digits;
        } else {
            if (digits.size() < static_cast<std::size_t>(e))
                digits.append(e - digits.size(), '0');
            out.append(digits, 0, e);
            if (digits.size() > static_cast<std::size_t>(e)) {
                out += decimalSeparator;
                out.append(digits, e);
            }
        }
    } else {
        out += digits[0];
        if (digits.size() > 1) {
            out += decimalSeparator;
            out.append(digits, 1);
        }
        out += 'E';
        out += std::to_string(e - 1);
    }
    return out;
}

std::string FloatToEngStr(double value, char decimalSeparator)
{
    // Thresholds held at 64-bit mantissa so that the doubles nearest the
    // decimal powers fall on the side where they truly lie.
    const Extended v = value;
    struct Range {
        Extended below;
        Extended multiplier;
        Extended divisor;
        const char *suffix;
    };
    static constexpr std::array<Range, 6> ranges{{
        {1e-9L, 1e12L, 1, "p"},
        {1e-6L, 1e9L, 1, "n"},
        {1e-3L, 1e6L, 1, "u"},
        {1.0L, 1e3L, 1, "m"},
        {1e3L, 1, 1, ""},
        {1e6L, 1, 1e3L, "k"},
    }};
    if (!std::isfinite(value))
        return FormatGeneral(v, decimalSeparator);
    for (const Range &range : ranges)
        if (v < range.below)
            return FormatGeneral(v * range.multiplier / range.divisor, decimalSeparator) + range.suffix;
    return FormatGeneral(v / 1e6L, decimalSeparator) + "M";
}

double ParsePlainNumber(std::string_view text, char decimalSeparator)
{
    const auto number = ScanNumber(text, decimalSeparator, true);
    if (!number)
        throw CorvantaError(QuoteExcerpt(text, '\'') + " is not a valid floating point value");
    return static_cast<double>(*number);
}

int ParseInteger(std::string_view text)
{
    std::string_view digits = text;
    bool negative = false;
    if (!digits.empty() && (digits.front() == '+' || digits.front() == '-')) {
        negative = digits.front() == '-';
        digits.remove_prefix(1);
    }
    long long value = 0;
    const auto [ptr, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    const bool allDigits = !digits.empty() && IsDigit(digits.front()) && ptr == digits.data() + digits.size();
    if (negative)
        value = -value;
    if (ec != std::errc() || !allDigits || value < std::numeric_limits<int>::min() ||
        value > std::numeric_limits<int>::max())
        throw CorvantaError(QuoteExcerpt(text, '\'') + " is not a valid integer value");
    return static_cast<int>(value);
}

} // namespace cva
