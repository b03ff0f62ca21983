// The circuit file loader on arbitrary bytes: it either raises the program's
// error, leaving the current circuit as it was, or returns a circuit whose
// saved text loads back to the same text.

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "document/CircuitFile.h"
#include "numerics/Error.h"

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const cva::TCircuit defaults;
    static const std::string defaultText = cva::CircuitFileText(defaults);
    if (size == 0)
        return 0;
    // The first byte once chose a decimal separator; skipped, so that the
    // seeds keep their meaning.
    const std::string_view text(reinterpret_cast<const char *>(data + 1), size - 1);

    cva::TCircuit loaded;
    try {
        loaded = cva::ApplyCircuitText(text, defaults);
    } catch (const cva::CorvantaError &) {
        Check(cva::CircuitFileText(defaults) == defaultText);
        return 0;
    }
    Check(cva::CircuitFileText(defaults) == defaultText);
    const std::string saved = cva::CircuitFileText(loaded);
    const cva::TCircuit reloaded = cva::ApplyCircuitText(saved, defaults);
    Check(cva::CircuitFileText(reloaded) == saved);
    // Whatever loads must also evaluate without crashing; a non-finite
    // response is reported as an error.
    cva::TTrace live{};
    try {
        cva::TCircuit quick = loaded;
        quick.ResolutionStep = cva::ResolutionLow;
        cva::Recalculate(quick, live);
    } catch (const cva::CorvantaError &) {
    }
    return 0;
}
