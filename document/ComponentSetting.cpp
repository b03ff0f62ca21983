#include "document/ComponentSetting.h"

#include <string>

#include "components/EngNotation.h"
#include "components/TaperLaw.h"
#include "document/TraceTable.h"
#include "numerics/Error.h"

namespace cva {

namespace {

// A part that is already a plain number stays as written (a pot's taper must
// stay an integer), and so does a taper law's name; anything else is read as
// engineering notation.
std::string PlainPart(std::string_view part)
{
    if (TaperFromName(part))
        return std::string(part);
    try {
        ParsePlainNumber(part);
        return std::string(part);
    } catch (const CorvantaError &) {
        return ShortestNumber(EngStrToFloat(part));
    }
}

} // namespace

void ApplyComponentSetting(TCircuit &circuit, std::string_view setting)
{
    const std::size_t equals = setting.find('=');
    ApplyComponentSetting(circuit, setting.substr(0, equals), setting.substr(equals + 1));
}

void ApplyComponentSetting(TCircuit &circuit, std::string_view name, std::string_view text)
{
    std::string plain;
    std::size_t start = 0;
    while (true) {
        const std::size_t bar = text.find('|', start);
        plain += PlainPart(text.substr(start, bar - start));
        if (bar == std::string_view::npos)
            break;
        plain += '|';
        start = bar + 1;
    }
    const int page = circuit.PageWithPart(name);
    if (page < 0)
        throw CorvantaError("There is no component " + std::string(name));
    TSymbolList &symbols = circuit.Symbols.Page(page);
    // A value alone keeps the rest of the part as it is: a pot its taper, an
    // inductor its DC resistance.
    if (text.find('|') == std::string_view::npos) {
        const std::string present = symbols.Find(name).GetInfo();
        if (const std::size_t bar = present.find('|'); bar != std::string::npos)
            plain += present.substr(bar);
    }
    symbols.SetInfo(name, plain);
}

} // namespace cva
