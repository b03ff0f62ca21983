#pragma once

// What the JACK tests need around the program: a server of their own on the
// dummy backend (no sound card), under a name no other run uses, and a probe
// that plays white noise into a port while recording another, both stamped
// with the server's frame clock so that input and output line up exactly.

#include <sys/types.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <vector>

#include <jack/jack.h>

#include "audio/WhiteNoise.h"

namespace cva::test {

class TJackTestServer {
public:
    enum TMode {
        // Cycles come on time, and a client that has not finished is reported late.
        RealTime,
        // Each cycle waits until every client has finished: measurements
        // see every block even when the machine is too busy for real time.
        Synchronous
    };
    // Starts the server at 48 kHz with 'frames' per cycle and makes it the
    // default one of this process and of the programs it starts.
    TJackTestServer(int frames, TMode mode);
    ~TJackTestServer();
    // Empty when the server runs, else why not.
    const std::string &Problem() const { return FProblem; }
    const std::string &Name() const { return FName; }
    // What the server printed so far.
    std::string Log() const;
    // How often the server found the client of this name late.
    int LateCycles(const std::string &client) const;

private:
    std::string FName;
    std::filesystem::path FLog;
    pid_t FPid = -1;
    std::string FProblem;
};

// The samples the probe played and the ones it recorded, frame by frame.
struct TProbeRecording {
    std::vector<float> Played;
    std::vector<float> Recorded;
};

class TJackProbe {
public:
    // Connects its noise output to 'into' and records 'from'.
    TJackProbe(const std::string &into, const std::string &from);
    ~TJackProbe();
    // The next 'frames' frames from a cycle a little ahead; empty vectors on a timeout.
    TProbeRecording Record(std::size_t frames);

private:
    struct TSide {
        TJackProbe *Probe = nullptr;
        jack_client_t *Client = nullptr;
        jack_port_t *Port = nullptr;
        std::vector<float> Samples;
        std::atomic<std::size_t> Filled{0};
    };
    static int Play(jack_nframes_t frames, void *side);
    static int Capture(jack_nframes_t frames, void *side);
    static void Store(TSide &side, const float *samples, jack_nframes_t frames);

    // Two clients, so that the program sits between them in the server's
    // order and nothing waits a cycle.
    TSide Source;
    TSide Sink;
    TWhiteNoise Noise;
    std::atomic<long long> StartFrame{-1};
};

// The transfer function from 'played' to 'recorded' (averaged over half
// overlapping Hann windows of 'window' samples), in dB at 'frequency'.
struct TTransfer {
    std::vector<double> GainDB; // per FFT bin
    double BinHz = 0;
    double At(double frequency) const;
};
TTransfer MeasureTransfer(const TProbeRecording &recording, double sampleRate, std::size_t window = 1 << 14);

// The lag (in samples, from -range to range) at which 'recorded' best matches 'reference'.
int CorrelationPeakLag(const std::vector<float> &reference, const std::vector<float> &recorded, int range);

} // namespace cva::test
