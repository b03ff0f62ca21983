// corvanta-cli --live at 64 frames a cycle (1.3 ms at 48 kHz) for ten seconds
// while its Bass and Treble change every 50 ms, beside a second one whose
// controls stay put, on a real-time JACK server of its own (dummy backend).
// Reports how often the server found each late. A cycle that waited for the
// control thread or designed a filter would be late at most of the 200
// changes; the idle one shows what the machine alone costs, since shared
// build machines take their processors away for a millisecond now and then.

#include <benchmark/benchmark.h>

#include <chrono>
#include <string>
#include <thread>

#include "JackTestRig.h"
#include "LiveTool.h"

using namespace cva;
using namespace std::chrono_literals;

static void LiveControlChangesAt64Frames(benchmark::State &state)
{
    for (auto _ : state) {
        test::TJackTestServer server(64, test::TJackTestServer::RealTime);
        if (!server.Problem().empty()) {
            state.SkipWithError(server.Problem().c_str());
            return;
        }
        test::TLiveTool changing({"--tab", "Bench", "--live", "--jack-name", "pedal"});
        test::TLiveTool idle({"--tab", "Bench", "--live", "--jack-name", "idle"});
        if (!test::WaitForPort("pedal:out") || !test::WaitForPort("idle:out")) {
            state.SkipWithError("corvanta-cli --live did not register its ports");
            return;
        }
        for (int change = 0; change < 200; ++change) {
            changing.Send(std::string(change % 2 ? "treble " : "bass ") + std::to_string(change % 101));
            std::this_thread::sleep_for(50ms);
        }
        changing.Send("quit");
        changing.ExitCode(3000ms);
        state.counters["late_changing"] = server.LateCycles("pedal");
        state.counters["late_idle"] = server.LateCycles("idle");
    }
}
BENCHMARK(LiveControlChangesAt64Frames)->Iterations(1)->Unit(benchmark::kSecond);

BENCHMARK_MAIN();
