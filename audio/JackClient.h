#pragma once

// Listening through a low-latency audio server (a JACK server, or PipeWire
// through its JACK library): a client with one input port "in" and one
// output port "out" that runs the listening processor in the server's own
// cycle, so it adds no latency of its own and says so to the server.

#include <atomic>
#include <string>
#include <vector>

#include <jack/types.h>

#include "audio/ListenProcessor.h"

namespace cva {

class TJackClient {
public:
    // Joins the running server (the one JACK_DEFAULT_SERVER names, or the
    // default one) and starts processing; it never starts a server. Raises
    // CorvantaError naming JACK when no server is reachable.
    TJackClient(TListenControls &controls, const std::string &clientName);
    ~TJackClient();
    TJackClient(const TJackClient &) = delete;
    TJackClient &operator=(const TJackClient &) = delete;

    // The name the server gave: the one asked for, with a number when taken.
    std::string Name() const;
    // The server's name ("default" unless JACK_DEFAULT_SERVER names another).
    const std::string &ServerName() const { return FServerName; }
    double SampleRate() const;
    int BlockFrames() const;
    // True once after the server changed its rate or its block size: the
    // filter and the sources must be made again for SampleRate(). Until the
    // filter arrives the cycles are silent (see TListenProcessor::SetRate).
    bool TakeFormatChange() { return FFormatChanged.exchange(false); }
    TListenProcessor &Processor() { return FProcessor; }

    // Other clients' ports that can feed "in", and that "out" can feed:
    // the sound card's (physical) ones first.
    std::vector<std::string> CaptureSources() const;
    std::vector<std::string> PlaybackTargets() const;
    // The first physical capture port, and the first two physical playback
    // ports (both sides of the headphones); empty where there are none.
    std::vector<std::string> DefaultCapture() const;
    std::vector<std::string> DefaultPlayback() const;
    // Connects "in" from exactly these ports, or "out" to exactly these,
    // dropping other connections. Raises CorvantaError naming a port the
    // server refused.
    void ConnectInput(const std::vector<std::string> &ports);
    void ConnectOutput(const std::vector<std::string> &ports);
    // What "in" and "out" are connected to now, by whomever.
    std::vector<std::string> InputConnections() const;
    std::vector<std::string> OutputConnections() const;

    // True once the server has gone away; the client then only waits to be closed.
    bool ServerGone() const { return FServerGone.load(); }
    // Cycles the server reported as late (an xrun, by any client or the driver).
    int LateCycles() const { return FLateCycles.load(); }

private:
    static int Process(jack_nframes_t frames, void *self);
    static void Latency(jack_latency_callback_mode_t mode, void *self);
    static int XRun(void *self);
    static int RateChanged(jack_nframes_t rate, void *self);
    static int BlockFramesChanged(jack_nframes_t frames, void *self);
    static void Shutdown(jack_status_t code, const char *reason, void *self);
    std::vector<std::string> Ports(unsigned long flags) const;
    std::vector<std::string> FirstPhysical(unsigned long flags, std::size_t count) const;
    void Connect(jack_port_t *own, const std::vector<std::string> &ports);

    TListenProcessor FProcessor;
    jack_client_t *FClient = nullptr;
    jack_port_t *FIn = nullptr;
    jack_port_t *FOut = nullptr;
    std::string FServerName;
    std::atomic<bool> FServerGone{false};
    std::atomic<bool> FFormatChanged{false};
    std::atomic<jack_nframes_t> FBlockFrames{0};
    std::atomic<int> FLateCycles{0};
};

} // namespace cva
