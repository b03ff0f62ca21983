// The audio reader on arbitrary bytes: libsndfile's header parsing and
// decoding of every format it knows, then the reader's own checks (sample
// rate, length, finite samples) and the mixing to one channel. The bytes are
// an in-memory file reached by its descriptor's path, as the programs reach
// a file the user names.
//
// Whatever the bytes, the reader either refuses them with a message that
// names the file, or delivers at most the frames the header gave, each a
// finite number, at a rate within the range it accepts.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include <sys/mman.h>
#include <unistd.h>

#include "audio/AudioFile.h"
#include "numerics/Error.h"

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

// One in-memory file for the whole run, rewritten for each input.
int MemoryFile()
{
    static const int descriptor = ::memfd_create("fuzz-audio", MFD_CLOEXEC);
    Check(descriptor >= 0);
    return descriptor;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const int descriptor = MemoryFile();
    Check(::ftruncate(descriptor, 0) == 0);
    Check(::pwrite(descriptor, data, size, 0) == static_cast<ssize_t>(size));
    const std::string path = "/proc/self/fd/" + std::to_string(descriptor);
    try {
        cva::TAudioFileReader reader(path);
        Check(reader.SampleRate() >= cva::LowestSampleRate && reader.SampleRate() <= cva::HighestSampleRate);
        Check(reader.Frames() > 0);
        std::vector<float> block(1000);
        std::int64_t frames = 0;
        for (std::size_t count; (count = reader.Read(block)) > 0;) {
            Check(count <= block.size());
            for (std::size_t n = 0; n < count; ++n)
                Check(std::isfinite(block[n]));
            frames += static_cast<std::int64_t>(count);
            // Decoders may find more than a header promised; never without end.
            Check(frames <= reader.Frames() + (1 << 20));
        }
    } catch (const cva::CorvantaError &error) {
        Check(std::string(error.what()).find(path) != std::string::npos);
    }
    return 0;
}
