// Listening through a JACK server of the test's own (dummy backend, no sound
// card): white noise from a probe client through corvanta's ports comes back
// in the same cycle, shaped as the circuit engine says, and the client tells
// the server that it adds no latency.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>
#include <jack/jack.h>

#include "JackTestRig.h"
#include "audio/JackClient.h"
#include "audio/StackFilter.h"
#include "document/Circuit.h"
#include "document/Netlist.h"
#include "models/NodalEngine.h"
#include "numerics/Error.h"

using namespace cva;

namespace {

constexpr std::size_t RecordedFrames = 1 << 17; // 2.7 s at 48 kHz

TNetlist FenderAt(int bass)
{
    TCircuit circuit;
    circuit.SetPosition(BuiltInControl::Bass, bass);
    return BuildNetlist(circuit);
}

} // namespace

TEST(JackClient, LiveInputFollowsTheEngineInTheSameCycle)
{
    test::TJackTestServer server(64, test::TJackTestServer::Synchronous);
    ASSERT_TRUE(server.Problem().empty()) << server.Problem();
    TListenControls controls;
    TJackClient client(controls, "corvanta");
    ASSERT_EQ(client.SampleRate(), 48000);
    const TNetlist netlist = FenderAt(20);
    controls.Filter.Publish(DesignStackFilter(netlist, client.SampleRate()));
    client.Processor().SetSource(client.Processor().MakeLiveInput());
    client.Processor().Play();
    test::TJackProbe probe(client.Name() + ":in", client.Name() + ":out");
    const test::TProbeRecording recording = probe.Record(RecordedFrames);
    ASSERT_EQ(recording.Recorded.size(), RecordedFrames) << "the recording timed out";

    const test::TTransfer transfer = test::MeasureTransfer(recording, client.SampleRate());
    TNodalEngine engine(netlist);
    for (double frequency = 40; frequency <= 10000; frequency *= std::pow(2.0, 1.0 / 6)) {
        const double wanted = 20 * std::log10(std::abs(engine.Output(frequency)));
        EXPECT_NEAR(transfer.At(frequency), wanted, 0.5) << frequency << " Hz";
    }
    // What the filter makes of the played noise with no delay at all lines
    // up with what came back.
    TStackFilter filter;
    filter.Update(DesignStackFilter(netlist, client.SampleRate()));
    std::vector<float> undelayed(recording.Played.size());
    filter.Process(recording.Played, undelayed);
    EXPECT_EQ(test::CorrelationPeakLag(undelayed, recording.Recorded, 256), 0);

    // Zero added: the output is reported exactly as late as the input (the
    // sound card's capture port and the probe's, 0 to one cycle).
    jack_client_t *observer = jack_client_open("observer", JackNoStartServer, nullptr);
    ASSERT_NE(observer, nullptr);
    jack_connect(observer, "system:capture_1", (client.Name() + ":in").c_str());
    jack_latency_range_t captured{}, input{}, output{};
    jack_port_get_latency_range(jack_port_by_name(observer, "system:capture_1"), JackCaptureLatency, &captured);
    // The server asks the client again after the connection, a little later.
    for (int attempt = 0; attempt < 100 && output.max != captured.max; ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        jack_port_get_latency_range(jack_port_by_name(observer, (client.Name() + ":in").c_str()),
                                    JackCaptureLatency, &input);
        jack_port_get_latency_range(jack_port_by_name(observer, (client.Name() + ":out").c_str()),
                                    JackCaptureLatency, &output);
    }
    jack_client_close(observer);
    EXPECT_GT(captured.max, 0u);
    EXPECT_EQ(output.max, captured.max);
    EXPECT_EQ(output.min, input.min);
}

TEST(JackClient, NewBlockSizeIsReportedOnceAndPlayingGoesOn)
{
    test::TJackTestServer server(64, test::TJackTestServer::Synchronous);
    ASSERT_TRUE(server.Problem().empty()) << server.Problem();
    TListenControls controls;
    TJackClient client(controls, "corvanta");
    EXPECT_EQ(client.ServerName(), server.Name());
    EXPECT_FALSE(client.TakeFormatChange()) << "the rate and size at the start are no change";
    controls.Filter.Publish(DesignStackFilter(FenderAt(50), client.SampleRate()));
    client.Processor().SetSource(client.Processor().MakeLiveInput());
    client.Processor().Play();

    jack_client_t *other = jack_client_open("resizer", JackNoStartServer, nullptr);
    ASSERT_NE(other, nullptr);
    ASSERT_EQ(jack_set_buffer_size(other, 256), 0);
    jack_client_close(other);
    for (int attempt = 0; attempt < 100 && client.BlockFrames() != 256; ++attempt)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(client.BlockFrames(), 256);
    EXPECT_TRUE(client.TakeFormatChange());
    EXPECT_FALSE(client.TakeFormatChange());

    test::TJackProbe probe(client.Name() + ":in", client.Name() + ":out");
    const test::TProbeRecording recording = probe.Record(1 << 13);
    ASSERT_EQ(recording.Recorded.size(), std::size_t(1 << 13)) << "the recording timed out";
    EXPECT_GT(*std::max_element(recording.Recorded.begin(), recording.Recorded.end()), 0.01f);
}

TEST(JackClient, NoServerIsAnErrorNamingJack)
{
    setenv("JACK_DEFAULT_SERVER", "corvanta-test-no-such-server", 1);
    TListenControls controls;
    try {
        TJackClient client(controls, "corvanta");
        FAIL() << "a client without a server";
    } catch (const CorvantaError &error) {
        EXPECT_NE(std::string(error.what()).find("JACK"), std::string::npos) << error.what();
    }
    unsetenv("JACK_DEFAULT_SERVER");
}
