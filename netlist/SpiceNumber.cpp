#include "netlist/SpiceNumber.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>

namespace cva {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }
char Lower(char c) { return char(std::tolower(static_cast<unsigned char>(c))); }

// The power of ten of a suffix at the start of 'text' and its length; none
// for a letter that is only a unit.
std::optional<std::pair<int, std::size_t>> Suffix(std::string_view text)
{
    if (text.empty())
        return std::nullopt;
    if (text.size() >= 3 && Lower(text[0]) == 'm' && Lower(text[1]) == 'e' && Lower(text[2]) == 'g')
        return std::pair{6, std::size_t(3)};
    switch (Lower(text[0])) {
    case 'f': return std::pair{-15, std::size_t(1)};
    case 'p': return std::pair{-12, std::size_t(1)};
    case 'n': return std::pair{-9, std::size_t(1)};
    case 'u': return std::pair{-6, std::size_t(1)};
    case 'm': return std::pair{-3, std::size_t(1)};
    case 'k': return std::pair{3, std::size_t(1)};
    case 'g': return std::pair{9, std::size_t(1)};
    case 't': return std::pair{12, std::size_t(1)};
    default: return std::nullopt;
    }
}

std::size_t DigitsFrom(std::string_view text, std::size_t at)
{
    while (at < text.size() && IsDigit(text[at]))
        ++at;
    return at;
}

} // namespace

std::optional<TSpiceNumber> ReadSpiceNumber(std::string_view text)
{
    std::size_t end = DigitsFrom(text, 0);
    const bool wholeDigits = end > 0;
    if (end < text.size() && text[end] == '.')
        end = DigitsFrom(text, end + 1);
    if (!wholeDigits && end <= 1)
        return std::nullopt;
    std::string digits(text.substr(0, end));
    // An exponent only when digits follow, so that "2e" stays a number with a unit letter.
    long exponent = 0;
    bool exponentWritten = false;
    if (end < text.size() && Lower(text[end]) == 'e') {
        std::size_t first = end + 1;
        if (first < text.size() && (text[first] == '+' || text[first] == '-'))
            ++first;
        if (const std::size_t after = DigitsFrom(text, first); after > first) {
            const char *from = text.data() + end + 1 + (text[end + 1] == '+' ? 1 : 0);
            if (std::from_chars(from, text.data() + after, exponent).ec != std::errc())
                return std::nullopt;
            exponentWritten = true;
            end = after;
        }
    }
    std::size_t length = end;
    if (const auto suffix = Suffix(text.substr(end))) {
        length += suffix->second;
        const std::size_t fractionEnd = DigitsFrom(text, length);
        // "4k7": the digits after the suffix are the fraction, when the
        // number before it had none of its own.
        if (fractionEnd > length && digits.find('.') == std::string::npos && !exponentWritten) {
            digits += "." + std::string(text.substr(length, fractionEnd - length));
            length = fractionEnd;
        }
        exponent += suffix->first;
    }
    // Scaled in decimal, so that "100n" is the double nearest to 1e-7, as if written so.
    const std::string scaled = digits + "e" + std::to_string(exponent);
    double value = 0;
    if (std::from_chars(scaled.data(), scaled.data() + scaled.size(), value).ec != std::errc())
        return std::nullopt;
    while (length < text.size() && IsLetter(text[length]))
        ++length;
    return TSpiceNumber{value, length};
}

std::optional<double> ParseSpiceValue(std::string_view text)
{
    double sign = 1;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        sign = text.front() == '-' ? -1 : 1;
        text.remove_prefix(1);
    }
    const auto number = ReadSpiceNumber(text);
    if (!number || number->Length != text.size() || !std::isfinite(number->Value))
        return std::nullopt;
    return sign * number->Value;
}

std::string FormatSpiceValue(double value)
{
    static constexpr std::pair<int, const char *> suffixes[] = {{-15, "f"}, {-12, "p"}, {-9, "n"}, {-6, "u"}, {-3, "m"},
                                                                {0, ""},    {3, "k"},   {6, "meg"}, {9, "g"}, {12, "t"}};
    const double magnitude = std::fabs(value);
    const char *suffix = "";
    int exponent = 0;
    // Numbers a person reads at a glance stay plain: 0.47 rather than 470m.
    if (std::isfinite(magnitude) && (magnitude < 0.01 || magnitude >= 1000))
        for (const auto &[power, letters] : suffixes)
            if (magnitude >= std::pow(10.0, power) * (1 - 1e-15)) {
                exponent = power;
                suffix = letters;
            }
    char text[40];
    std::snprintf(text, sizeof text, "%.15g", value / std::pow(10.0, exponent));
    // A mantissa that does not read back exactly takes every digit instead.
    if (const auto back = ParseSpiceValue(std::string(text) + suffix); !back || *back != value) {
        std::snprintf(text, sizeof text, "%.17g", value);
        return text;
    }
    return std::string(text) + suffix;
}

} // namespace cva
