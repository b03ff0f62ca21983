// The audio rendering of corvanta-cli, in a module of its own: the tool
// loads it, and with it libsndfile and the codecs, only to render.

#include "cli/RenderModule.h"

#include <cmath>
#include <cstdio>

#include "audio/AudioFile.h"
#include "audio/PluckedGuitar.h"
#include "audio/StackFilter.h"

namespace {

using namespace cva;

constexpr int DemoSampleRate = 48000;

} // namespace

extern "C" int CorvantaRenderAudio(const TCorvantaRenderRequest *request, std::size_t *clipped, char *error,
                                   std::size_t errorSize)
{
    try {
        TMonoAudio audio;
        if (request->Input) {
            audio = ReadAudioFile(request->Input);
        } else {
            audio.SampleRate = DemoSampleRate;
            audio.Samples.resize(static_cast<std::size_t>(std::lround(request->DemoSeconds * DemoSampleRate)));
            TPluckedGuitar(DemoSampleRate).Render(audio.Samples);
        }
        TStackFilter filter;
        filter.Update(DesignStackFilter(*request->Circuit, audio.SampleRate));
        filter.Process(audio.Samples, audio.Samples);
        WriteWavFile(request->Output, audio.Samples, static_cast<int>(audio.SampleRate),
                     request->FloatSamples ? TWavEncoding::Float32 : TWavEncoding::Pcm24, *clipped);
        return 0;
    } catch (const std::exception &e) {
        std::snprintf(error, errorSize, "%s", e.what());
        return 1;
    }
}
