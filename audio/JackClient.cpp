#include "audio/JackClient.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include <jack/jack.h>

#include "numerics/Error.h"

namespace cva {

namespace {

// The library prints every failed attempt to reach a server; the program
// says itself what went wrong, once and in its own words.
void Quiet(const char *) {}

struct TJackFree {
    void operator()(const char **names) const { jack_free(static_cast<void *>(names)); }
};
using TPortNames = std::unique_ptr<const char *, TJackFree>;

std::vector<std::string> NameList(const TPortNames &names)
{
    std::vector<std::string> list;
    for (const char **name = names.get(); name && *name; ++name)
        list.emplace_back(*name);
    return list;
}

} // namespace

TJackClient::TJackClient(TListenControls &controls, const std::string &clientName)
    : FProcessor(controls)
{
    const char *server = std::getenv("JACK_DEFAULT_SERVER");
    FServerName = server && *server ? server : "default";
    jack_set_error_function(Quiet);
    jack_set_info_function(Quiet);
    jack_status_t status{};
    FClient = jack_client_open(clientName.c_str(), JackNoStartServer, &status);
    if (!FClient)
        throw CorvantaError("No JACK server is running (start one, or run the program with pw-jack on a "
                            "PipeWire desktop).");
    // The server reports its rate and block size when the callbacks are set
    // and at activation; only a later difference is a change.
    FProcessor.SetRate(SampleRate());
    FBlockFrames.store(jack_get_buffer_size(FClient));
    FIn = jack_port_register(FClient, "in", JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
    FOut = jack_port_register(FClient, "out", JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput, 0);
    if (!FIn || !FOut || jack_set_process_callback(FClient, Process, this) != 0 ||
        jack_set_latency_callback(FClient, Latency, this) != 0 || jack_set_xrun_callback(FClient, XRun, this) != 0 ||
        jack_set_sample_rate_callback(FClient, RateChanged, this) != 0 ||
        jack_set_buffer_size_callback(FClient, BlockFramesChanged, this) != 0) {
        jack_client_close(FClient);
        throw CorvantaError("The JACK server refused the ports of the client \"" + clientName + "\".");
    }
    jack_on_info_shutdown(FClient, Shutdown, this);
    if (jack_activate(FClient) != 0) {
        jack_client_close(FClient);
        throw CorvantaError("The JACK server refused to start the client \"" + clientName + "\".");
    }
}

TJackClient::~TJackClient()
{
    // Once closed, no cycle runs any more and every source can go.
    jack_client_close(FClient);
    FProcessor.FreeAll();
}

std::string TJackClient::Name() const { return jack_get_client_name(FClient); }
double TJackClient::SampleRate() const { return jack_get_sample_rate(FClient); }
int TJackClient::BlockFrames() const { return static_cast<int>(jack_get_buffer_size(FClient)); }

int TJackClient::Process(jack_nframes_t frames, void *self)
{
    auto &client = *static_cast<TJackClient *>(self);
    const auto *in = static_cast<const float *>(jack_port_get_buffer(client.FIn, frames));
    auto *out = static_cast<float *>(jack_port_get_buffer(client.FOut, frames));
    client.FProcessor.Process({in, frames}, {out, frames});
    return 0;
}

// The output is as late as the input: the filter adds nothing of its own.
void TJackClient::Latency(jack_latency_callback_mode_t mode, void *self)
{
    auto &client = *static_cast<TJackClient *>(self);
    jack_latency_range_t range{};
    if (mode == JackCaptureLatency) {
        jack_port_get_latency_range(client.FIn, mode, &range);
        jack_port_set_latency_range(client.FOut, mode, &range);
    } else {
        jack_port_get_latency_range(client.FOut, mode, &range);
        jack_port_set_latency_range(client.FIn, mode, &range);
    }
}

int TJackClient::XRun(void *self)
{
    static_cast<TJackClient *>(self)->FLateCycles.fetch_add(1);
    return 0;
}

// The server's notification thread: only atomics, as the process callback.
int TJackClient::RateChanged(jack_nframes_t rate, void *self)
{
    auto &client = *static_cast<TJackClient *>(self);
    if (client.FProcessor.CurrentRate() != rate) {
        client.FProcessor.SetRate(rate);
        client.FFormatChanged.store(true);
    }
    return 0;
}

int TJackClient::BlockFramesChanged(jack_nframes_t frames, void *self)
{
    auto &client = *static_cast<TJackClient *>(self);
    if (client.FBlockFrames.exchange(frames) != frames)
        client.FFormatChanged.store(true);
    return 0;
}

// Called from the server's threads as it goes: a lock-free flag only, read
// by the program's own watch.
void TJackClient::Shutdown(jack_status_t, const char *, void *self)
{
    static_assert(std::atomic<bool>::is_always_lock_free);
    static_cast<TJackClient *>(self)->FServerGone.store(true);
}

std::vector<std::string> TJackClient::Ports(unsigned long flags) const
{
    // Physical ones first, then the other clients' own, never this one's.
    const std::string own = Name() + ":";
    std::vector<std::string> list = FirstPhysical(flags, SIZE_MAX);
    for (std::string &name : NameList(TPortNames(jack_get_ports(FClient, nullptr, JACK_DEFAULT_AUDIO_TYPE, flags))))
        if (name.rfind(own, 0) != 0 && std::find(list.begin(), list.end(), name) == list.end())
            list.push_back(std::move(name));
    return list;
}

std::vector<std::string> TJackClient::CaptureSources() const { return Ports(JackPortIsOutput); }
std::vector<std::string> TJackClient::PlaybackTargets() const { return Ports(JackPortIsInput); }

std::vector<std::string> TJackClient::FirstPhysical(unsigned long flags, std::size_t count) const
{
    std::vector<std::string> physical =
        NameList(TPortNames(jack_get_ports(FClient, nullptr, JACK_DEFAULT_AUDIO_TYPE, flags | JackPortIsPhysical)));
    physical.resize(std::min(physical.size(), count));
    return physical;
}

std::vector<std::string> TJackClient::DefaultCapture() const { return FirstPhysical(JackPortIsOutput, 1); }
std::vector<std::string> TJackClient::DefaultPlayback() const { return FirstPhysical(JackPortIsInput, 2); }

std::vector<std::string> TJackClient::InputConnections() const
{
    return NameList(TPortNames(jack_port_get_all_connections(FClient, FIn)));
}

std::vector<std::string> TJackClient::OutputConnections() const
{
    return NameList(TPortNames(jack_port_get_all_connections(FClient, FOut)));
}

void TJackClient::ConnectInput(const std::vector<std::string> &ports) { Connect(FIn, ports); }
void TJackClient::ConnectOutput(const std::vector<std::string> &ports) { Connect(FOut, ports); }

void TJackClient::Connect(jack_port_t *own, const std::vector<std::string> &ports)
{
    const bool ownIsInput = own == FIn;
    const std::string ownName = jack_port_name(own);
    jack_port_disconnect(FClient, own);
    for (const std::string &port : ports) {
        const int result = ownIsInput ? jack_connect(FClient, port.c_str(), ownName.c_str())
                                      : jack_connect(FClient, ownName.c_str(), port.c_str());
        if (result != 0 && result != EEXIST)
            throw CorvantaError("The JACK server cannot connect " + ownName + (ownIsInput ? " from " : " to ") +
                                port + ".");
    }
}

} // namespace cva
