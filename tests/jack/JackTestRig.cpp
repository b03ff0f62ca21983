#include "JackTestRig.h"

#include <signal.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <complex>
#include <cstdlib>
#include <fstream>
#include <numbers>
#include <sstream>
#include <thread>

#include "FftAnalysis.h"

namespace cva::test {

namespace {

constexpr int TestRate = 48000;

void Quiet(const char *) {}

jack_client_t *OpenOn(const std::string &server, const char *name)
{
    jack_status_t status{};
    return jack_client_open(name, jack_options_t(JackNoStartServer | JackServerName), &status, server.c_str());
}

} // namespace

TJackTestServer::TJackTestServer(int frames, TMode mode)
{
    static std::atomic<int> count{0};
    FName = "corvanta-test-" + std::to_string(getpid()) + "-" + std::to_string(count++);
    FLog = std::filesystem::temp_directory_path() / (FName + ".log");
    jack_set_error_function(Quiet);
    jack_set_info_function(Quiet);
    FPid = fork();
    if (FPid == 0) {
        const int log = ::open(FLog.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(log, STDOUT_FILENO);
        dup2(log, STDERR_FILENO);
        const std::string period = std::to_string(frames);
        const std::string rate = std::to_string(TestRate);
        std::vector<const char *> arguments{"jackd", "-n", FName.c_str()};
        if (mode == Synchronous)
            arguments.push_back("--sync");
        for (const char *argument : {"-d", "dummy", "-r", rate.c_str(), "-p", period.c_str()})
            arguments.push_back(argument);
        arguments.push_back(nullptr);
        execvp("jackd", const_cast<char *const *>(arguments.data()));
        _exit(127);
    }
    if (FPid < 0) {
        FProblem = "cannot start jackd";
        return;
    }
    for (int attempt = 0; attempt < 100; ++attempt) {
        if (jack_client_t *client = OpenOn(FName, "corvanta-test-ready")) {
            jack_client_close(client);
            // The program and the tool under test find it as the default server.
            setenv("JACK_DEFAULT_SERVER", FName.c_str(), 1);
            return;
        }
        int status = 0;
        if (waitpid(FPid, &status, WNOHANG) == FPid) {
            FPid = -1;
            FProblem = "jackd ended at once: " + Log();
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    FProblem = "jackd did not answer within 5 s: " + Log();
}

TJackTestServer::~TJackTestServer()
{
    unsetenv("JACK_DEFAULT_SERVER");
    if (FPid > 0) {
        // A server killed outright keeps its place in JACK's shared registry,
        // which has room for eight: enough of them and no server starts on
        // this machine until the registry is cleared.
        kill(FPid, SIGTERM);
        for (int wait = 0; wait < 200 && waitpid(FPid, nullptr, WNOHANG) == 0; ++wait)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        if (waitpid(FPid, nullptr, WNOHANG) == 0) {
            kill(FPid, SIGKILL);
            waitpid(FPid, nullptr, 0);
        }
    }
    std::filesystem::remove(FLog);
}

std::string TJackTestServer::Log() const
{
    std::ifstream in(FLog);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

int TJackTestServer::LateCycles(const std::string &client) const
{
    const std::string log = Log();
    const std::string mark = "client = " + client + " was not";
    int count = 0;
    for (std::size_t at = log.find(mark); at != std::string::npos; at = log.find(mark, at + 1))
        ++count;
    return count;
}

TJackProbe::TJackProbe(const std::string &into, const std::string &from)
{
    const char *server = std::getenv("JACK_DEFAULT_SERVER");
    Source.Client = OpenOn(server ? server : "default", "probe-source");
    Sink.Client = OpenOn(server ? server : "default", "probe-sink");
    if (!Source.Client || !Sink.Client)
        return;
    Source.Probe = Sink.Probe = this;
    Source.Port = jack_port_register(Source.Client, "out", JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput, 0);
    Sink.Port = jack_port_register(Sink.Client, "in", JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
    jack_set_process_callback(Source.Client, Play, &Source);
    jack_set_process_callback(Sink.Client, Capture, &Sink);
    jack_activate(Source.Client);
    jack_activate(Sink.Client);
    jack_connect(Source.Client, jack_port_name(Source.Port), into.c_str());
    jack_connect(Sink.Client, from.c_str(), jack_port_name(Sink.Port));
}

TJackProbe::~TJackProbe()
{
    for (TSide *side : {&Source, &Sink})
        if (side->Client)
            jack_client_close(side->Client);
}

int TJackProbe::Play(jack_nframes_t frames, void *side)
{
    auto &source = *static_cast<TSide *>(side);
    auto *out = static_cast<float *>(jack_port_get_buffer(source.Port, frames));
    for (jack_nframes_t k = 0; k < frames; ++k)
        out[k] = 0.5f * source.Probe->Noise.Next();
    Store(source, out, frames);
    return 0;
}

int TJackProbe::Capture(jack_nframes_t frames, void *side)
{
    auto &sink = *static_cast<TSide *>(side);
    Store(sink, static_cast<const float *>(jack_port_get_buffer(sink.Port, frames)), frames);
    return 0;
}

// Both sides keep the frames from the same start on, by the server's clock.
void TJackProbe::Store(TSide &side, const float *samples, jack_nframes_t frames)
{
    const long long start = side.Probe->StartFrame.load();
    const long long now = jack_last_frame_time(side.Client);
    if (start < 0 || now < start)
        return;
    const auto offset = static_cast<std::size_t>(now - start);
    // A cycle the server skipped stays silent on both sides.
    if (offset < side.Filled.load() || offset >= side.Samples.size())
        return;
    const std::size_t count = std::min<std::size_t>(frames, side.Samples.size() - offset);
    std::copy_n(samples, count, side.Samples.begin() + std::ptrdiff_t(offset));
    side.Filled.store(offset + count);
}

TProbeRecording TJackProbe::Record(std::size_t frames)
{
    if (!Source.Client || !Sink.Client)
        return {};
    for (TSide *side : {&Source, &Sink}) {
        side->Samples.assign(frames, 0.0f);
        side->Filled.store(0);
    }
    StartFrame.store(jack_frame_time(Source.Client) + 4 * jack_get_buffer_size(Source.Client));
    const auto deadline = std::chrono::steady_clock::now() +
                          std::chrono::duration<double>(2.0 + 2.0 * double(frames) / TestRate);
    while (Source.Filled.load() < frames || Sink.Filled.load() < frames) {
        if (std::chrono::steady_clock::now() > deadline) {
            StartFrame.store(-1);
            return {};
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    StartFrame.store(-1);
    return {Source.Samples, Sink.Samples};
}

double TTransfer::At(double frequency) const
{
    return GainDB[static_cast<std::size_t>(std::lround(frequency / BinHz))];
}

TTransfer MeasureTransfer(const TProbeRecording &recording, double sampleRate, std::size_t window)
{
    std::vector<std::complex<double>> cross(window);
    std::vector<double> power(window);
    std::vector<float> played(window), recorded(window);
    for (std::size_t start = 0; start + window <= recording.Played.size(); start += window / 2) {
        for (std::size_t n = 0; n < window; ++n) {
            const double hann = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * double(n) / double(window));
            played[n] = static_cast<float>(hann * recording.Played[start + n]);
            recorded[n] = static_cast<float>(hann * recording.Recorded[start + n]);
        }
        const auto x = Fft(played);
        const auto y = Fft(recorded);
        for (std::size_t k = 0; k < window; ++k) {
            cross[k] += y[k] * std::conj(x[k]);
            power[k] += std::norm(x[k]);
        }
    }
    TTransfer transfer;
    transfer.BinHz = sampleRate / double(window);
    for (std::size_t k = 0; k <= window / 2; ++k)
        transfer.GainDB.push_back(20 * std::log10(std::abs(cross[k]) / power[k]));
    return transfer;
}

int CorrelationPeakLag(const std::vector<float> &reference, const std::vector<float> &recorded, int range)
{
    int best = 0;
    double bestValue = -1;
    const auto length = static_cast<int>(std::min(reference.size(), recorded.size()));
    for (int lag = -range; lag <= range; ++lag) {
        double sum = 0;
        for (int n = range; n < length - range; ++n)
            sum += double(reference[std::size_t(n)]) * recorded[std::size_t(n + lag)];
        if (std::abs(sum) > bestValue) {
            bestValue = std::abs(sum);
            best = lag;
        }
    }
    return best;
}

} // namespace cva::test
