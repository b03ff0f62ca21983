// corvanta-cli --live against a JACK server of the test's own: control lines
// change the sound as the engine says, bad lines change nothing, the end of
// standard input leaves it playing, and at 64 frames a cycle with a control
// change every 50 ms the server never finds it late.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "JackTestRig.h"
#include "document/Circuit.h"
#include "document/Netlist.h"
#include "models/NodalEngine.h"

using namespace cva;
using namespace std::chrono_literals;

namespace {

// corvanta-cli running with a pipe on its standard input.
class TLiveTool {
public:
    explicit TLiveTool(std::vector<std::string> arguments)
    {
        ErrPath = std::filesystem::temp_directory_path() / ("corvanta-live-" + std::to_string(getpid()) + ".err");
        int pipeFds[2];
        if (pipe(pipeFds) != 0)
            return;
        Pid = fork();
        if (Pid == 0) {
            dup2(pipeFds[0], STDIN_FILENO);
            close(pipeFds[1]);
            const int err = ::open(ErrPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            dup2(err, STDERR_FILENO);
            std::vector<char *> argv{const_cast<char *>(CORVANTA_CLI)};
            for (std::string &argument : arguments)
                argv.push_back(argument.data());
            argv.push_back(nullptr);
            execv(CORVANTA_CLI, argv.data());
            _exit(127);
        }
        close(pipeFds[0]);
        Input = pipeFds[1];
    }
    ~TLiveTool()
    {
        CloseInput();
        if (Pid > 0 && !Exit) {
            kill(Pid, SIGKILL);
            waitpid(Pid, nullptr, 0);
        }
        std::filesystem::remove(ErrPath);
    }
    void Send(const std::string &line) { ASSERT_EQ(write(Input, (line + "\n").data(), line.size() + 1), ssize_t(line.size() + 1)); }
    void CloseInput()
    {
        if (Input >= 0)
            close(Input);
        Input = -1;
    }
    // The exit status once it ended within 'wait', or nothing.
    std::optional<int> ExitCode(std::chrono::milliseconds wait)
    {
        const auto deadline = std::chrono::steady_clock::now() + wait;
        while (!Exit) {
            int status = 0;
            if (waitpid(Pid, &status, WNOHANG) == Pid)
                Exit = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            else if (std::chrono::steady_clock::now() > deadline)
                break;
            else
                std::this_thread::sleep_for(10ms);
        }
        return Exit;
    }
    void Signal(int number) { kill(Pid, number); }
    std::string Err() const
    {
        std::ifstream in(ErrPath);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

private:
    pid_t Pid = -1;
    int Input = -1;
    std::optional<int> Exit;
    std::filesystem::path ErrPath;
};

bool WaitForPort(const std::string &port)
{
    jack_client_t *observer = jack_client_open("port-watch", JackNoStartServer, nullptr);
    if (!observer)
        return false;
    bool found = false;
    for (int attempt = 0; attempt < 200 && !found; ++attempt) {
        found = jack_port_by_name(observer, port.c_str()) != nullptr;
        if (!found)
            std::this_thread::sleep_for(25ms);
    }
    jack_client_close(observer);
    return found;
}

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

} // namespace

TEST(LiveCli, ControlLinesMoveTheCircuitAsTheEngineSays)
{
    test::TJackTestServer server(64, test::TJackTestServer::Synchronous);
    ASSERT_TRUE(server.Problem().empty()) << server.Problem();
    TLiveTool tool({"--tab", "Fender", "--bass", "0", "--live", "--jack-name", "pedal", "--no-connect"});
    ASSERT_TRUE(WaitForPort("pedal:out")) << tool.Err();
    test::TJackProbe probe("pedal:in", "pedal:out");

    const test::TProbeRecording before = probe.Record(RecordedFrames);
    ASSERT_FALSE(before.Recorded.empty());
    EXPECT_LT(WorstDeviation(before, 0), 0.5);

    tool.Send("BASS 100");
    std::this_thread::sleep_for(100ms); // a cycle and the crossfade, with room for a busy machine
    const test::TProbeRecording moved = probe.Record(RecordedFrames);
    ASSERT_FALSE(moved.Recorded.empty());
    EXPECT_LT(WorstDeviation(moved, 100), 0.5);
    EXPECT_GT(WorstDeviation(moved, 0), 3.0);

    for (const char *bad : {"bass 300", "volume 3", "bass", "treble 5x"})
        tool.Send(bad);
    tool.CloseInput();
    std::this_thread::sleep_for(300ms);
    EXPECT_FALSE(tool.ExitCode(0ms)) << "the end of standard input ended it";
    const test::TProbeRecording after = probe.Record(RecordedFrames);
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
    TLiveTool tool({"--live"});
    EXPECT_EQ(tool.ExitCode(5000ms), 1);
    EXPECT_NE(tool.Err().find("JACK"), std::string::npos) << tool.Err();
    unsetenv("JACK_DEFAULT_SERVER");
}

// The build machines' virtual processors are taken away for a millisecond
// or more now and then, which makes any client late at times at 64 frames
// (1.3 ms a cycle); so the tool whose controls change every 50 ms is held to
// a second one beside it in the same server whose controls stay put: a
// cycle that waited for the control thread or designed a filter would be
// late at each of the 200 changes; the margin is for the machine alone,
// which has made the changing one late up to 33 times in a test run.
TEST(LiveCli, LateNoMoreThanAnIdleOneAt64FramesWhileControlsChange)
{
    test::TJackTestServer server(64, test::TJackTestServer::RealTime);
    ASSERT_TRUE(server.Problem().empty()) << server.Problem();
    TLiveTool tool({"--tab", "Bench", "--live", "--jack-name", "pedal"});
    TLiveTool idle({"--tab", "Bench", "--live", "--jack-name", "idle"});
    ASSERT_TRUE(WaitForPort("pedal:out")) << tool.Err();
    ASSERT_TRUE(WaitForPort("idle:out")) << idle.Err();
    // Connected to the server's (dummy) sound card, as a player's would be.
    jack_client_t *observer = jack_client_open("observer", JackNoStartServer, nullptr);
    ASSERT_NE(observer, nullptr);
    EXPECT_TRUE(jack_port_connected_to(jack_port_by_name(observer, "pedal:in"), "system:capture_1"));
    EXPECT_TRUE(jack_port_connected_to(jack_port_by_name(observer, "pedal:out"), "system:playback_1"));
    jack_client_close(observer);

    for (int change = 0; change < 200; ++change) {
        tool.Send(std::string(change % 2 ? "treble " : "bass ") + std::to_string(change % 101));
        std::this_thread::sleep_for(50ms);
    }
    tool.Send("quit");
    EXPECT_EQ(tool.ExitCode(3000ms), 0) << tool.Err();
    const int late = server.LateCycles("pedal");
    const int idleLate = server.LateCycles("idle");
    EXPECT_LE(late, 4 * idleLate + 30) << "late cycles: changing " << late << ", idle " << idleLate;
    std::cout << "late cycles in 10 s at 64 frames: changing " << late << ", idle " << idleLate << "\n";
}
