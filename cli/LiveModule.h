#pragma once

// The entry point of the module that corvanta-cli loads for --live, and
// with it the JACK library.

#include <cstddef>

#define CORVANTA_LIVE_MODULE_FILE "corvanta-cli-live.so"
#define CORVANTA_LIVE_MODULE_ENTRY "CorvantaPlayLive"

namespace cva {
class TCircuit;
}

struct TCorvantaLiveRequest {
    const cva::TCircuit *Circuit; // as the options left it
    const char *ClientName;
    int Connect; // to the first physical capture and playback ports
};

// Plays the capture port through the circuit until SIGINT, SIGTERM or a
// line "quit" on standard input; other lines move controls. Returns 0, or
// 1 with the reason in 'error' (no server, or the server went away).
extern "C" __attribute__((visibility("default"))) int CorvantaPlayLive(const TCorvantaLiveRequest *request,
                                                                    char *error, std::size_t errorSize);

using TPlayLive = decltype(&CorvantaPlayLive);
