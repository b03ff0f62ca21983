#include "cli/AudioRender.h"

#include <cmath>
#include <iostream>

#include "audio/AudioFile.h"
#include "audio/PluckedGuitar.h"
#include "audio/StackFilter.h"
#include "document/Netlist.h"

namespace cva::cli {

namespace {

constexpr int DemoSampleRate = 48000;

} // namespace

void RenderAudio(const TCliOptions &options, const TCircuit &circuit)
{
    TMonoAudio audio;
    if (options.RenderInput) {
        audio = ReadAudioFile(*options.RenderInput);
    } else {
        audio.SampleRate = DemoSampleRate;
        audio.Samples.resize(static_cast<std::size_t>(std::lround(*options.RenderDemoSeconds * DemoSampleRate)));
        TPluckedGuitar(DemoSampleRate).Render(audio.Samples);
    }
    TStackFilter filter;
    filter.Update(DesignStackFilter(BuildNetlist(circuit), audio.SampleRate));
    filter.Process(audio.Samples, audio.Samples);

    std::size_t clipped = 0;
    WriteWavFile(*options.OutputPath, audio.Samples, static_cast<int>(audio.SampleRate),
                 options.FloatWav ? TWavEncoding::Float32 : TWavEncoding::Pcm24, clipped);
    if (clipped > 0)
        std::cerr << "corvanta-cli: " << clipped << " samples were beyond full scale and were limited to it\n";
}

} // namespace cva::cli
