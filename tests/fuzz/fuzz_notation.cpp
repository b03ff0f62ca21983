// Value notation on arbitrary text: reading never crashes, a value that reads
// is finite and prints, and what prints reads back to nearly the same value.

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "components/EngNotation.h"
#include "numerics/Error.h"

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

void CheckPrinted(double value, char separator)
{
    Check(std::isfinite(value));
    const std::string eng = cva::FloatToEngStr(value, separator);
    Check(eng.find("NaN") == std::string::npos && eng.find("INF") == std::string::npos);
    // Negative values are all written in pico; beyond about -1.8e296 the
    // written number exceeds the range of a double and cannot be read back.
    if (!(value < 0 && -value > DBL_MAX / 1e12)) {
        const double back = cva::EngStrToFloat(eng, separator);
        Check(std::isfinite(back));
        // 15 significant digits, allowing for subnormals that keep fewer.
        Check(std::fabs(back - value) <= std::fabs(value) * 1e-14 + 1e-300);
    }

    const std::string plain = cva::FormatGeneral(value, separator);
    const double plainBack = cva::ParsePlainNumber(plain, separator);
    Check(std::fabs(plainBack - value) <= std::fabs(value) * 1e-14 + 1e-300);
    // Printing is a fixed point after one round.
    Check(cva::FormatGeneral(plainBack, separator) == plain);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    const char separator = (data[0] & 1) ? ',' : '.';
    const std::string_view text(reinterpret_cast<const char *>(data + 1), size - 1);

    try {
        CheckPrinted(cva::EngStrToFloat(text, separator), separator);
    } catch (const cva::CorvantaError &) {
    }
    try {
        CheckPrinted(cva::ParsePlainNumber(text, separator), separator);
    } catch (const cva::CorvantaError &) {
    }
    try {
        cva::ParseInteger(text);
    } catch (const cva::CorvantaError &) {
    }
    // The raw bytes as a double, whatever they are: printing never fails.
    if (size >= 9) {
        double value;
        __builtin_memcpy(&value, data + 1, sizeof value);
        (void)cva::FloatToEngStr(value, separator);
        if (std::isfinite(value))
            CheckPrinted(value, separator);
    }
    return 0;
}
