#include "components/Symbol.h"

#include <algorithm>
#include <optional>
#include <typeinfo>
#include <vector>

#include "components/EngNotation.h"
#include "components/MessageQuote.h"
#include "components/TaperLaw.h"
#include "numerics/Error.h"

namespace cva {

namespace {

// Splits a text form at '|' and at line breaks; a break at the very end
// does not start a further, empty part.
std::vector<std::string_view> SplitParts(std::string_view text)
{
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '|' && c != '\r' && c != '\n')
            continue;
        parts.push_back(text.substr(start, i - start));
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size() || parts.empty())
        parts.push_back(text.substr(start));
    return parts;
}

std::string_view SecondPart(const std::vector<std::string_view> &parts)
{
    if (parts.size() < 2)
        throw CorvantaError("List index out of bounds (1)");
    return parts[1];
}

} // namespace

std::string TSymbol::GetCaption(char decimalSeparator) const
{
    return FloatToEngStr(Value, decimalSeparator);
}

bool TSymbol::SameAs(const TSymbol &other) const
{
    return typeid(*this) == typeid(other) && Value == other.Value && ValueR == other.ValueR;
}

bool TSymbolPot::SameAs(const TSymbol &other) const
{
    return TSymbol::SameAs(other) && PotType == static_cast<const TSymbolPot &>(other).PotType;
}

void TSingleValueSymbol::Edit(TEditDialogs &dialogs, char decimalSeparator)
{
    TDialogFields fields;
    fields.Source = GetCaption(decimalSeparator);
    if (!dialogs.Execute(Kind(), fields))
        return;
    try {
        Value = EngStrToFloat(fields.Source, decimalSeparator);
    } catch (const CorvantaError &) {
        // An unreadable entry leaves the value as it was.
    }
}

std::string TSingleValueSymbol::GetInfo(char decimalSeparator) const
{
    return FormatGeneral(Value, decimalSeparator);
}

void TSingleValueSymbol::SetInfo(std::string_view text, char decimalSeparator)
{
    Value = ParsePlainNumber(text, decimalSeparator);
}

void TSymbolInductor::Edit(TEditDialogs &dialogs, char decimalSeparator)
{
    TDialogFields fields;
    fields.Source = GetCaption(decimalSeparator);
    fields.Res = FloatToEngStr(ValueR, decimalSeparator);
    if (!dialogs.Execute(Kind(), fields))
        return;
    try {
        const double value = EngStrToFloat(fields.Source, decimalSeparator);
        const double valueR = EngStrToFloat(fields.Res, decimalSeparator);
        Value = value;
        ValueR = valueR;
    } catch (const CorvantaError &) {
        // Either field unreadable: both values stay as they were.
    }
}

std::string TSymbolInductor::GetInfo(char decimalSeparator) const
{
    return FormatGeneral(Value, decimalSeparator) + "|" + FormatGeneral(ValueR, decimalSeparator);
}

void TSymbolInductor::SetInfo(std::string_view text, char decimalSeparator)
{
    const auto parts = SplitParts(text);
    const double value = ParsePlainNumber(parts[0], decimalSeparator);
    const double valueR = ParsePlainNumber(SecondPart(parts), decimalSeparator);
    Value = value;
    ValueR = valueR;
}

void TSymbolPot::Edit(TEditDialogs &dialogs, char decimalSeparator)
{
    TDialogFields fields;
    fields.Source = GetCaption(decimalSeparator);
    // An unknown number works as the linear law, so the dialog shows that.
    fields.Style = PotType > LastKnownTaper ? int(PotLinear) : int(PotType);
    if (!dialogs.Execute(Kind(), fields))
        return;
    try {
        Value = EngStrToFloat(fields.Source, decimalSeparator);
        PotType = static_cast<std::uint8_t>(std::clamp(fields.Style, 0, int(LastKnownTaper)));
    } catch (const CorvantaError &) {
        // An unreadable value keeps both value and taper.
    }
}

std::string TSymbolPot::GetInfo(char decimalSeparator) const
{
    return FormatGeneral(Value, decimalSeparator) + "|" + std::to_string(PotType);
}

void TSymbolPot::SetInfo(std::string_view text, char decimalSeparator)
{
    const auto parts = SplitParts(text);
    const double value = ParsePlainNumber(parts[0], decimalSeparator);
    const std::string_view taperText = SecondPart(parts);
    const std::optional<std::uint8_t> named = TaperFromName(taperText);
    const int potType = named ? *named : ParseInteger(taperText);
    // A file holds one byte's worth of taper numbers; a larger one is no
    // taper and must not wrap round to one.
    if (potType < 0 || potType > 255)
        throw CorvantaError(QuoteExcerpt(taperText, '\'') + " is not a taper number from 0 to 255");
    Value = value;
    PotType = static_cast<std::uint8_t>(potType);
}

} // namespace cva
