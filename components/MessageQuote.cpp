#include "components/MessageQuote.h"

#include <array>

namespace cva {

namespace {

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

} // namespace

std::size_t Utf8Length(std::string_view text)
{
    const auto lead = static_cast<unsigned char>(text[0]);
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF; // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80; // no overlong forms
        high = lead == 0xED ? 0x9F : 0xBF; // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (text.size() < length)
        return 0;
    const auto second = static_cast<unsigned char>(text[1]);
    if (second < low || second > high)
        return 0;
    for (std::size_t i = 2; i < length; ++i)
        if (!IsContinuation(static_cast<unsigned char>(text[i])))
            return 0;
    return length;
}

namespace {

char32_t CodePoint(std::string_view sequence)
{
    const auto lead = static_cast<unsigned char>(sequence[0]);
    char32_t value = sequence.size() == 2 ? lead & 0x1F : sequence.size() == 3 ? lead & 0x0F : lead & 0x07;
    for (std::size_t i = 1; i < sequence.size(); ++i)
        value = (value << 6) | (static_cast<unsigned char>(sequence[i]) & 0x3F);
    return value;
}

// C1 controls, line and paragraph separators, and the format characters
// that are drawn as nothing or change the order of what follows.
bool IsInvisibleOrControl(char32_t c)
{
    return (c >= 0x80 && c <= 0x9F) || (c >= 0x200B && c <= 0x200F) || (c >= 0x2028 && c <= 0x202E) ||
           (c >= 0x2060 && c <= 0x2069) || c == 0xFEFF;
}

std::string Escaped(unsigned char byte)
{
    switch (byte) {
    case '\0':
        return "\\0";
    case '\t':
        return "\\t";
    case '\n':
        return "\\n";
    case '\r':
        return "\\r";
    default: {
        constexpr std::array<char, 17> Hex{"0123456789ABCDEF"};
        return std::string("\\x") + Hex[byte >> 4] + Hex[byte & 0xF];
    }
    }
}

} // namespace

std::string Excerpt(std::string_view text)
{
    std::string result;
    std::size_t characters = 0;
    while (!text.empty() && characters < MaxQuotedCharacters) {
        const auto byte = static_cast<unsigned char>(text[0]);
        std::size_t length = 1;
        if (byte < 0x20 || byte == 0x7F) {
            result += Escaped(byte);
        } else if (byte < 0x80) {
            result += text[0];
        } else if ((length = Utf8Length(text)) != 0) {
            result.append(text.substr(0, length));
        } else {
            length = 1;
            result += Escaped(byte);
        }
        text.remove_prefix(length);
        ++characters;
    }
    if (!text.empty())
        result += "...";
    return result;
}

std::string QuoteExcerpt(std::string_view text, char quote)
{
    return quote + Excerpt(text) + quote;
}

std::string ExcerptWords(std::string_view text)
{
    std::string result;
    for (std::size_t blank; (blank = text.find(' ')) != std::string_view::npos; text.remove_prefix(blank + 1))
        result += Excerpt(text.substr(0, blank)) + ' ';
    return result + Excerpt(text);
}

std::optional<std::size_t> PrintableCharacters(std::string_view text)
{
    std::size_t characters = 0;
    while (!text.empty()) {
        const auto byte = static_cast<unsigned char>(text[0]);
        std::size_t length = 1;
        if (byte < 0x20 || byte == 0x7F)
            return std::nullopt;
        if (byte >= 0x80) {
            length = Utf8Length(text);
            if (length == 0 || IsInvisibleOrControl(CodePoint(text.substr(0, length))))
                return std::nullopt;
        }
        text.remove_prefix(length);
        ++characters;
    }
    return characters;
}

} // namespace cva
