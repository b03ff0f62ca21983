// Symbol text forms on arbitrary text: SetInfo either rejects the text and
// leaves the symbol alone, or what GetInfo then writes reads back to the
// same values.

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string_view>

#include "components/Symbol.h"
#include "numerics/Error.h"

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

bool Same(const cva::TSymbol &a, const cva::TSymbol &b)
{
    const auto *potA = dynamic_cast<const cva::TSymbolPot *>(&a);
    const auto *potB = dynamic_cast<const cva::TSymbolPot *>(&b);
    if ((potA == nullptr) != (potB == nullptr))
        return false;
    if (potA && potA->GetPotType() != potB->GetPotType())
        return false;
    // Bitwise is too strict for -0 and 0; the text form does not keep the sign of zero.
    return a.GetValue() == b.GetValue() && a.GetValueR() == b.GetValueR();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    const char separator = (data[0] & 1) ? ',' : '.';
    const std::string_view text(reinterpret_cast<const char *>(data + 1), size - 1);

    std::unique_ptr<cva::TSymbol> symbols[] = {
        std::make_unique<cva::TSymbolResistor>(100000),    std::make_unique<cva::TSymbolCapacitor>(4.7e-8),
        std::make_unique<cva::TSymbolGenerator>(38000),    std::make_unique<cva::TSymbolInductor>(6, 600),
        std::make_unique<cva::TSymbolPot>(cva::PotLogA, 250000),
    };
    for (auto &symbol : symbols) {
        const std::string before = symbol->GetInfo('.');
        try {
            symbol->SetInfo(text, separator);
        } catch (const cva::CorvantaError &) {
            Check(symbol->GetInfo('.') == before); // all or nothing
            continue;
        }
        // The saved form has at most 15 digits: it must read back and be stable.
        const std::string info = symbol->GetInfo(separator);
        std::unique_ptr<cva::TSymbol> copy = symbol->Clone();
        copy->SetInfo(info, separator);
        Check(copy->GetInfo(separator) == info);
        std::unique_ptr<cva::TSymbol> again = copy->Clone();
        again->SetInfo(copy->GetInfo(separator), separator);
        Check(Same(*again, *copy));
        (void)symbol->GetCaption(separator);
    }
    return 0;
}
