#pragma once

// The entry point of the render module that corvanta-cli loads at run time
// for --render and --render-demo, and with it libsndfile and its codecs.

#include <cstddef>

#define CORVANTA_RENDER_MODULE_FILE "corvanta-cli-render.so"
#define CORVANTA_RENDER_MODULE_ENTRY "CorvantaRenderAudio"

namespace cva {
struct TNetlist;
}

// The rate of the demo guitar that --render-demo renders.
constexpr int CorvantaDemoSampleRate = 48000;

struct TCorvantaRenderRequest {
    const cva::TNetlist *Circuit; // built by the tool from the same sources
    const char *Input;            // an audio file, or null for the demo guitar
    double DemoSeconds;
    const char *Output;           // the WAV file
    int FloatSamples;             // 32-bit float instead of 24-bit integers
};

// Filters the input through the circuit into the output file. Returns 0, or
// 1 with the reason in 'error'; 'clipped' counts the 24-bit samples that had
// to be limited to full scale.
extern "C" __attribute__((visibility("default"))) int CorvantaRenderAudio(const TCorvantaRenderRequest *request,
                                                                       std::size_t *clipped, char *error,
                                                                       std::size_t errorSize);

using TRenderAudio = decltype(&CorvantaRenderAudio);
