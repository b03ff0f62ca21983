// The audio rendering of corvanta-cli, in a module of its own: the tool
// loads it, and with it libsndfile and the codecs, only to render.

#include "cli/RenderModule.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <new>
#include <optional>

#include "audio/AudioFile.h"
#include "audio/PluckedGuitar.h"
#include "audio/StackFilter.h"
#include "numerics/Error.h"

namespace {

using namespace cva;

// The input, block by block: an audio file or the demo guitar.
class TRenderInput {
public:
    explicit TRenderInput(const TCorvantaRenderRequest &request)
    {
        if (request.Input) {
            Reader.emplace(request.Input);
            Rate = Reader->SampleRate();
            Length = static_cast<std::uint64_t>(Reader->Frames());
        } else {
            Rate = CorvantaDemoSampleRate;
            Length = static_cast<std::uint64_t>(std::llround(request.DemoSeconds * CorvantaDemoSampleRate));
            Guitar.emplace(Rate);
        }
    }

    double SampleRate() const { return Rate; }
    std::uint64_t Samples() const { return Length; }

    std::size_t Read(std::span<float> block)
    {
        if (Guitar) {
            Guitar->Render(block);
            return block.size();
        }
        return Reader->Read(block);
    }

private:
    std::optional<TAudioFileReader> Reader;
    std::optional<TPluckedGuitar> Guitar;
    double Rate = 0;
    std::uint64_t Length = 0;
};

// Reads, filters and writes one block at a time, so that memory stays the
// same whatever the length and rate of the input.
void Render(const TCorvantaRenderRequest &request, std::size_t &clipped)
{
    TRenderInput input(request);
    TStackFilter filter;
    filter.Update(DesignStackFilter(*request.Circuit, input.SampleRate()));
    std::uint64_t done = 0;
    WriteWavFile(
        request.Output, input.Samples(), static_cast<int>(input.SampleRate()),
        request.FloatSamples ? TWavEncoding::Float32 : TWavEncoding::Pcm24,
        [&](std::span<float> block) {
            const std::size_t count = input.Read(block);
            if (count == 0)
                throw CorvantaError("Cannot read audio file \"" + std::string(request.Input) +
                                    "\". It ends before the length its header gives.");
            if (!filter.Process(block.first(count), block.first(count))) {
                char seconds[32];
                std::snprintf(seconds, sizeof seconds, "%.3f", double(done) / input.SampleRate());
                throw CorvantaError(std::string("The filtered sound ran away at ") + seconds +
                                    " s (a sample not finite or far beyond full scale), so no file was written.");
            }
            done += count;
            return count;
        },
        clipped);
}

} // namespace

extern "C" int CorvantaRenderAudio(const TCorvantaRenderRequest *request, std::size_t *clipped, char *error,
                                   std::size_t errorSize)
{
    try {
        Render(*request, *clipped);
        return 0;
    } catch (const std::bad_alloc &) {
        std::snprintf(error, errorSize, "Not enough memory to render the audio.");
    } catch (const std::exception &e) {
        std::snprintf(error, errorSize, "%s", e.what());
    }
    return 1;
}
