// The whole load path from a file on arbitrary bytes: reading with its size
// cap, as a file of known size or as a pipe, the byte-order mark, line ends,
// the lookup rule, the refusal of files without a circuit line and the
// all-or-nothing apply. The first byte chooses how the bytes reach the
// loader; the rest is the file.
//
// Loading from disk must agree with loading the same text from memory: the
// same circuit or the same error (with the file's name in front), or a
// refusal for a text from which loading would take nothing. That what loads
// saves and loads back to itself is fuzz_circuit_file's to check.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include "document/CircuitFile.h"
#include "numerics/Error.h"

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

enum class TSource { File, Pipe, OversizedFile };

// Messages are for people: short, one line, nothing invisible in them.
void CheckMessage(std::string_view message)
{
    Check(!message.empty() && message.size() < 600);
    for (char c : message)
        Check(static_cast<unsigned char>(c) >= 0x20 && c != 0x7F);
}

// The state that loading sets, compared without formatting a number: the
// target runs millions of times.
bool SameCircuit(const cva::TCircuit &a, const cva::TCircuit &b)
{
    if (a.Active != b.Active)
        return false;
    for (int control = 0; control < a.ControlCount(); ++control)
        if (a.Position(control) != b.Position(control))
            return false;
    auto sameBits = [](double x, double y) { return std::memcmp(&x, &y, sizeof(double)) == 0; };
    const auto as = a.Symbols.InNameOrder();
    const auto bs = b.Symbols.InNameOrder();
    if (as.size() != bs.size())
        return false;
    for (std::size_t i = 0; i < as.size(); ++i) {
        const cva::TSymbol &x = *as[i]->Symbol;
        const cva::TSymbol &y = *bs[i]->Symbol;
        const auto *potX = dynamic_cast<const cva::TSymbolPot *>(&x);
        const auto *potY = dynamic_cast<const cva::TSymbolPot *>(&y);
        // Bit for bit, so that a NaN would count as a difference.
        if (!sameBits(x.GetValue(), y.GetValue()) || !sameBits(x.GetValueR(), y.GetValueR()) ||
            (potX && potX->GetPotType() != potY->GetPotType()))
            return false;
    }
    return true;
}

// The loaded circuit, or the message of the error.
struct TOutcome {
    std::optional<cva::TCircuit> Circuit;
    std::string Error;
};

template <typename Load>
TOutcome Outcome(Load load)
{
    try {
        return {load(), {}};
    } catch (const cva::CorvantaError &error) {
        CheckMessage(error.what());
        return {std::nullopt, error.what()};
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const cva::TCircuit defaults;
    static const int file = ::memfd_create("circuit", 0);
    static const std::string filePath = "/proc/self/fd/" + std::to_string(file);
    if (size == 0 || file < 0)
        return 0;
    auto source = static_cast<TSource>(((data[0] >> 1) & 3) % 3);
    const std::string_view text(reinterpret_cast<const char *>(data + 1), size - 1);
    constexpr std::size_t PipeCapacity = 64 * 1024;
    if (source == TSource::Pipe && text.size() > PipeCapacity)
        source = TSource::File;

    std::string path = filePath;
    int pipeEnds[2] = {-1, -1};
    Check(::ftruncate(file, 0) == 0);
    Check(::pwrite(file, text.data(), text.size(), 0) == ssize_t(text.size()));
    if (source == TSource::OversizedFile) {
        Check(::ftruncate(file, off_t(cva::MaxCircuitFileBytes + 1 + text.size())) == 0);
    } else if (source == TSource::Pipe) {
        Check(::pipe(pipeEnds) == 0);
        Check(::write(pipeEnds[1], text.data(), text.size()) == ssize_t(text.size()));
        ::close(pipeEnds[1]);
        path = "/proc/self/fd/" + std::to_string(pipeEnds[0]);
    }

    const TOutcome loaded = Outcome([&] { return cva::LoadCircuitFile(path, defaults); });
    if (pipeEnds[0] >= 0)
        ::close(pipeEnds[0]);

    const std::string opening = "Cannot open file \"" + path + "\". ";
    if (source == TSource::OversizedFile) {
        Check(loaded.Error.rfind(opening + "too large (", 0) == 0);
        return 0;
    }
    const std::string name = path.substr(path.rfind('/') + 1);
    const TOutcome fromMemory = Outcome([&] { return cva::ApplyCircuitText(text, defaults, name); });
    if (loaded.Error == opening + "not a circuit file") {
        // Nothing in the text would have changed the circuit.
        Check(fromMemory.Circuit && SameCircuit(*fromMemory.Circuit, defaults));
        return 0;
    }
    Check(loaded.Error == fromMemory.Error);
    if (!loaded.Circuit) {
        Check(loaded.Error.rfind(name + ", line ", 0) == 0);
        return 0;
    }
    Check(fromMemory.Circuit && SameCircuit(*loaded.Circuit, *fromMemory.Circuit));
    return 0;
}
