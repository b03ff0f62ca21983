// corvanta-cli --live against a JACK server of the test's own: control lines
// change the sound as the engine says, bad lines change nothing, the end of
// standard input leaves it playing, it plugs itself into the sound card
// unless told not to, and a failed start names JACK.

#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <cmath>
#include <string>
#include <thread>
#include <utility>

#include "JackTestRig.h"
#include "LiveTool.h"
#include "document/Circuit.h"
#include "document/Netlist.h"
#include "models/NodalEngine.h"

using namespace cva;
using namespace std::chrono_literals;

namespace {

// The largest difference from the engine's curve from 40 Hz to 10 kHz, in dB.
double WorstDeviation(const test::TProbeRecording &recording, int bass)
{
    TCircuit circuit;
    circuit.SetPosition(BuiltInControl::Bass, bass);
    TNodalEngine engine(BuildNetlist(circuit));
    const test::TTransfer transfer = test::MeasureTransfer(recording, 48000);
    double worst = 0;
    for (double frequency = 40; frequency <= 10000; frequency *= std::pow(2.0, 1.0 / 6))
        worst = std::max(worst, std::abs(transfer.At(frequency) - 20 * std::log10(std::abs(engine.Output(frequency)))));
    return worst;
}

constexpr std::size_t RecordedFrames = 1 << 16;

// Of up to three recordings, the first within 0.5 dB of the engine's curve at
// that bass position, else the nearest: a start-up or a cycle that a busy
// machine made late spoils one recording, a wrong filter spoils them all.
test::TProbeRecording NearestRecording(test::TJackProbe &probe, int bass)
{
    test::TProbeRecording nearest;
    double least = INFINITY;
    for (int attempt = 0; attempt < 3 && least >= 0.5; ++attempt) {
        test::TProbeRecording recording = probe.Record(RecordedFrames);
        if (recording.Recorded.empty())
            continue;
        if (const double deviation = WorstDeviation(recording, bass); deviation < least) {
            least = deviation;
            nearest = std::move(recording);
        }
    }
    return nearest;
}

} // namespace

TEST(LiveCli, ControlLinesMoveTheCircuitAsTheEngineSays)
{
    test::TJackTestServer server(64, test::TJackTestServer::Synchronous);
    ASSERT_TRUE(server.Problem().empty()) << server.Problem();
    test::TLiveTool tool({"--tab", "Fender", "--bass", "0", "--live", "--jack-name", "pedal", "--no-connect"});
    ASSERT_TRUE(test::WaitForPort("pedal:out")) << tool.Err();
    test::TJackProbe probe("pedal:in", "pedal:out");

    const test::TProbeRecording before = NearestRecording(probe, 0);
    ASSERT_FALSE(before.Recorded.empty());
    EXPECT_LT(WorstDeviation(before, 0), 0.5);

    ASSERT_TRUE(tool.Send("BASS 100"));
    std::this_thread::sleep_for(100ms); // a cycle and the crossfade, with room for a busy machine
    const test::TProbeRecording moved = NearestRecording(probe, 100);
    ASSERT_FALSE(moved.Recorded.empty());
    EXPECT_LT(WorstDeviation(moved, 100), 0.5);
    EXPECT_GT(WorstDeviation(moved, 0), 3.0);

    for (const char *bad : {"bass 300", "volume 3", "bass", "treble 5x"})
        ASSERT_TRUE(tool.Send(bad));
    tool.CloseInput();
    std::this_thread::sleep_for(300ms);
    EXPECT_FALSE(tool.ExitCode(0ms)) << "the end of standard input ended it";
    const test::TProbeRecording after = NearestRecording(probe, 100);
    ASSERT_FALSE(after.Recorded.empty());
    EXPECT_LT(WorstDeviation(after, 100), 0.5);
    const std::string err = tool.Err();
    for (const char *reported : {"line 2:", "line 3:", "line 4:", "line 5:"})
        EXPECT_NE(err.find(reported), std::string::npos) << reported << " in:\n" << err;

    tool.Signal(SIGTERM);
    EXPECT_EQ(tool.ExitCode(3000ms), 0) << tool.Err();
}

TEST(LiveCli, NoServerExitsWithAMessageNamingJack)
{
    setenv("JACK_DEFAULT_SERVER", "corvanta-test-no-such-server", 1);
    test::TLiveTool tool({"--live"});
    EXPECT_EQ(tool.ExitCode(5000ms), 1);
    EXPECT_NE(tool.Err().find("JACK"), std::string::npos) << tool.Err();
    unsetenv("JACK_DEFAULT_SERVER");
}

// Without --no-connect it is plugged into the sound card, as a player's would be.
TEST(LiveCli, ConnectsToTheSoundCardUnlessToldNot)
{
    test::TJackTestServer server(256, test::TJackTestServer::Synchronous);
    ASSERT_TRUE(server.Problem().empty()) << server.Problem();
    test::TLiveTool plugged({"--live", "--jack-name", "pedal"});
    test::TLiveTool unplugged({"--live", "--jack-name", "loose", "--no-connect"});
    ASSERT_TRUE(test::WaitForPort("pedal:out")) << plugged.Err();
    EXPECT_TRUE(test::WaitForConnection("pedal:in", "system:capture_1"));
    EXPECT_TRUE(test::WaitForConnection("pedal:out", "system:playback_1"));
    ASSERT_TRUE(test::WaitForPort("loose:out")) << unplugged.Err();
    EXPECT_FALSE(test::WaitForConnection("loose:out", "system:playback_1"));
}
