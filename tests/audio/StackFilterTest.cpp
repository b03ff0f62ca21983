// The tone stack as a digital filter: its impulse response, measured by FFT,
// follows the circuit engine's analog curve for every topology at slider
// ends and middle; a slider jump while a tone plays is not a click; the
// listening chain's bypass is level-matched and its limiter reports clipping.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <filesystem>
#include <numbers>
#include <vector>

#include "pages/BuiltInCircuits.h"
#include "FftAnalysis.h"
#include "audio/ListenChain.h"
#include "audio/PinkNoise.h"
#include "audio/RecordingSource.h"
#include "audio/StackFilter.h"
#include "document/Circuit.h"
#include "document/Netlist.h"
#include "document/Catalogue.h"
#include "models/NodalEngine.h"
#include "document/NetlistPage.h"
#include "numerics/Error.h"

using namespace cva;

namespace {

TNetlist NetlistAt(int topology, int position)
{
    TCircuit circuit;
    circuit.Active = topology;
    for (int slider = 0; slider < BuiltInControl::Count; ++slider)
        circuit.SetPosition(slider, position);
    return BuildNetlist(circuit);
}

std::vector<float> Filtered(const TStackFilterCoefficients &coefficients, std::vector<float> signal)
{
    TStackFilter filter;
    filter.Update(coefficients);
    filter.Process(signal, signal);
    return signal;
}

double LargestStep(const std::vector<float> &signal, std::size_t from, std::size_t to)
{
    double largest = 0;
    for (std::size_t n = from + 1; n < to; ++n)
        largest = std::max(largest, double(std::abs(signal[n] - signal[n - 1])));
    return largest;
}

} // namespace

// The filter's impulse response against the engine from 20 Hz to 'top':
// the worst error as a share of what is allowed (0.1 dB to 10 kHz, 0.5 dB
// above), and where it is.
std::pair<double, double> WorstShareOfTolerance(const TNetlist &netlist, double rate, double top)
{
    constexpr std::size_t Length = 1 << 17; // 2.7 s at 48 kHz: the slowest stack has rung out
    std::vector<float> impulse(Length, 0.0f);
    impulse[0] = 1;
    const std::vector<std::complex<double>> spectrum = test::Fft(Filtered(DesignStackFilter(netlist, rate), impulse));
    TNodalEngine engine(netlist);
    double worst = 0;
    double worstAt = 0;
    for (int k = 0; k < GridPoints; ++k) {
        const double wanted = GridFrequency(GridFirstStep + k);
        if (wanted < 20 || wanted > top)
            continue;
        const auto bin = std::size_t(std::lround(wanted * Length / rate));
        const double frequency = bin * rate / Length;
        const double error = 20 * std::log10(std::abs(spectrum[bin]) / std::abs(engine.Output(frequency)));
        const double allowed = frequency <= 10000 ? 0.1 : 0.5;
        if (std::abs(error) / allowed > worst) {
            worst = std::abs(error) / allowed;
            worstAt = frequency;
        }
    }
    return {worst, worstAt};
}

TEST(StackFilter, ImpulseResponseFollowsTheEngineForEveryTopology)
{
    for (const double rate : {44100.0, 48000.0, 96000.0}) {
        // Where the tolerances hold at 44.1 kHz ends at 10 kHz: 16 kHz is too
        // close to its Nyquist frequency.
        const double top = rate < 48000 ? 10000 : 16000;
        for (const TCircuitDef &info : BuiltInCircuits()) {
            for (const int position : {0, 50, 100}) {
                const auto [worst, worstAt] = WorstShareOfTolerance(NetlistAt(PageNamed(info.TabCaption), position), rate, top);
                EXPECT_LE(worst, 1.0) << info.TabCaption << " at " << position << ", " << rate << " Hz: worst at "
                                      << worstAt << " Hz";
            }
        }
    }
}

TEST(StackFilter, NetlistsOfUpTo32ReactiveElementsAreHeardAndMoreAreRefused)
{
    const auto netlistOf = [](const std::filesystem::path &file) {
        TCircuit circuit;
        AddNetlistPage(circuit, ReadNetlistFile(file));
        return BuildNetlist(circuit);
    };
    // A pickup with its controls, a three-knob stack, and five stacks in cascade (20 capacitors).
    for (const std::filesystem::path file : {CORVANTA_SOURCE_DIR "/examples/gibson-les-paul-50s-wiring.cir",
                                             CORVANTA_SOURCE_DIR "/examples/fender-ab763-twin-reverb.cir",
                                             CORVANTA_SOURCE_DIR "/bench/thirty-nodes.cir"}) {
        const auto [worst, worstAt] = WorstShareOfTolerance(netlistOf(file), 48000, 16000);
        EXPECT_LE(worst, 1.0) << file << ": worst at " << worstAt << " Hz";
    }
    // A ladder of 33 sections has one capacitor too many.
    std::string ladder = "ladder\nV1 n0 0 AC 1\n";
    for (int i = 1; i <= MaxReactiveElements + 1; ++i)
        ladder += "R" + std::to_string(i) + " n" + std::to_string(i - 1) + " n" + std::to_string(i) + " 100\nC" +
                  std::to_string(i) + " n" + std::to_string(i) + " 0 1n\n";
    TCircuit circuit;
    AddNetlistPage(circuit, ReadNetlist(ladder + ".print ac v(n33)\n", "ladder.cir"));
    try {
        DesignStackFilter(BuildNetlist(circuit), 48000);
        FAIL() << "33 capacitors were accepted";
    } catch (const CorvantaError &error) {
        EXPECT_NE(std::string(error.what()).find("more than 32 independent capacitors"), std::string::npos)
            << error.what();
    }
}

TEST(StackFilter, SliderJumpWhileATonePlaysIsNoClick)
{
    constexpr double Rate = 48000;
    constexpr std::size_t Jump = 24000;
    constexpr std::size_t Length = 48000;
    for (const double tone : {80.0, 1000.0}) {
        std::vector<float> input(Length);
        for (std::size_t n = 0; n < Length; ++n)
            input[n] = float(0.5 * std::sin(2 * std::numbers::pi * tone * double(n) / Rate));
        TCircuit circuit;
        circuit.SetPosition(BuiltInControl::Bass, 0);
        TStackFilter filter;
        filter.Update(DesignStackFilter(BuildNetlist(circuit), Rate));
        std::vector<float> output(Length);
        filter.Process(std::span(input).first(Jump), std::span(output).first(Jump));
        circuit.SetPosition(BuiltInControl::Bass, 100);
        filter.Update(DesignStackFilter(BuildNetlist(circuit), Rate));
        filter.Process(std::span(input).subspan(Jump), std::span(output).subspan(Jump));

        // The steady sine before and, once the bass has settled, after.
        const double steady = std::max(LargestStep(output, Jump - 4800, Jump), LargestStep(output, Length - 4800, Length));
        EXPECT_LE(LargestStep(output, Jump - 1, Jump + 9600), 1.1 * steady) << tone << " Hz";
    }
}

TEST(StackFilter, CircuitsThatCannotBeFiltersAreErrorsNamingTheCircuit)
{
    TNetlist netlist = NetlistAt(PageNamed("Fender"), 50);
    netlist.Output = 0;
    try {
        DesignStackFilter(netlist, 48000);
        FAIL() << "an output at ground was accepted";
    } catch (const CorvantaError &error) {
        EXPECT_NE(std::string(error.what()).find("Fender"), std::string::npos) << error.what();
    }
    EXPECT_THROW(DesignStackFilter(NetlistAt(PageNamed("Fender"), 50), 0), CorvantaError);
}

TEST(ListenChain, BypassIsLevelMatchedAndClippingIsLimitedAndReported)
{
    constexpr double Rate = 48000;
    TListenControls controls;
    TListenChain chain(controls);
    std::vector<float> noise(4800);
    TPinkNoise().Render(noise);
    chain.SetSource(std::make_unique<TRecordingSource>(noise));
    std::vector<float> out(4800);
    chain.Render(out);
    EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](float s) { return s == 0; })) << "played before a filter";

    const TStackFilterCoefficients filter = DesignStackFilter(NetlistAt(PageNamed("Bench"), 50), Rate);
    controls.Filter.Publish(filter);
    controls.Bypass.store(true);
    chain.Restart();
    chain.Render(out);
    // After the 5 ms ramp the bypass is the source at the stack's average gain.
    for (std::size_t n = 480; n < out.size(); ++n)
        ASSERT_NEAR(out[n], filter.AverageGain * noise[n], 1e-6) << n;
    EXPECT_FALSE(controls.Clipped.load());

    controls.Level.store(1000.0f);
    chain.Restart();
    chain.Render(out);
    EXPECT_TRUE(controls.Clipped.load());
    EXPECT_GT(controls.Peak.load(), 1.0f);
    EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](float s) { return std::abs(s) <= 1.0f; }));

    // With Loop off the end of the recording is reported.
    EXPECT_FALSE(controls.SourceEnded.load());
    controls.Loop.store(false);
    chain.Render(out);
    EXPECT_TRUE(controls.SourceEnded.load());
}

TEST(StackFilter, StableMeansEveryPoleStrictlyInsideTheUnitCircle)
{
    struct TCase {
        const char *What;
        std::vector<std::vector<double>> A;
        bool Stable;
    };
    const double c = std::cos(0.01), s = std::sin(0.01);
    for (const TCase &t :
         {TCase{"decaying pair", {{0.5, 0}, {0, -0.9}}, true},
          TCase{"slowly decaying rotation", {{0.9999 * c, -0.9999 * s}, {0.9999 * s, 0.9999 * c}}, true},
          // Its norm grows a million times before it decays.
          TCase{"strongly coupled, poles inside", {{0.99, 1e6}, {0, 0.99}}, true},
          TCase{"delay chain", {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, true},
          TCase{"pole on the circle", {{1, 0}, {0, 0.5}}, false},
          TCase{"pole just outside", {{1.0001}}, false},
          TCase{"growing rotation", {{1.0001 * c, -1.0001 * s}, {1.0001 * s, 1.0001 * c}}, false},
          TCase{"not finite", {{std::nan("")}}, false}}) {
        TStackFilterCoefficients filter;
        filter.Order = int(t.A.size());
        for (std::size_t i = 0; i < t.A.size(); ++i)
            for (std::size_t j = 0; j < t.A.size(); ++j)
                filter.A[i][j] = t.A[i][j];
        EXPECT_EQ(IsStable(filter), t.Stable) << t.What;
    }
    for (const TCircuitDef &info : BuiltInCircuits())
        for (const int position : {0, 50, 100})
            EXPECT_TRUE(IsStable(DesignStackFilter(NetlistAt(PageNamed(info.TabCaption), position), 48000))) << info.TabCaption;
}

// A filter whose output grows without bound is silenced and reported, never
// sent on as full-scale or non-finite samples; the next filter plays again.
TEST(ListenChain, ARunawayFilterIsMutedAndReported)
{
    TListenControls controls;
    TListenChain chain(controls);
    std::vector<float> noise(48000);
    TPinkNoise().Render(noise);
    chain.SetSource(std::make_unique<TRecordingSource>(noise));
    TStackFilterCoefficients growing;
    growing.Order = 1;
    growing.SampleRate = 48000;
    growing.A[0][0] = 1.5; // as a circuit that is not passive gives
    growing.B[0] = 1;
    growing.C[0] = 1;
    controls.Filter.Publish(growing);
    std::vector<float> out(noise.size());
    chain.Render(out);
    EXPECT_TRUE(controls.RanAway.load());
    EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](float v) { return std::isfinite(v) && std::abs(v) < 1; }));
    EXPECT_TRUE(std::all_of(out.end() - 4800, out.end(), [](float v) { return v == 0; }));

    controls.Filter.Publish(DesignStackFilter(NetlistAt(PageNamed("Fender"), 50), 48000));
    chain.Render(out);
    EXPECT_TRUE(std::any_of(out.begin(), out.end(), [](float v) { return v != 0; }));
}
