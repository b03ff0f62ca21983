// The built-in signals: pink noise has the slope of its name, the demo guitar
// plays in tune, loudly enough and without clipping, the same on every run.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <vector>

#include "FftAnalysis.h"
#include "audio/PinkNoise.h"
#include "audio/PluckedGuitar.h"

using namespace cva;

namespace {

std::vector<float> Render(TSignalSource &source, std::size_t count)
{
    std::vector<float> samples(count);
    // In uneven blocks, as the audio device asks for them.
    for (std::size_t done = 0; done < count;) {
        const std::size_t block = std::min<std::size_t>(count - done, 1 + done % 997);
        source.Render(std::span<float>(samples).subspan(done, block));
        done += block;
    }
    return samples;
}

float Peak(const std::vector<float> &samples)
{
    float peak = 0;
    for (const float s : samples)
        peak = std::max(peak, std::abs(s));
    return peak;
}

} // namespace

TEST(PinkNoise, EqualPowerPerOctaveAndRepeatable)
{
    constexpr double Rate = 48000;
    TPinkNoise noise;
    const std::vector<float> samples = Render(noise, 1 << 18);
    const double reference = test::BandPowerDB(samples, Rate, 1000, 2000);
    for (const double low : {50.0, 100.0, 200.0, 400.0, 2000.0, 4000.0, 8000.0})
        EXPECT_NEAR(test::BandPowerDB(samples, Rate, low, 2 * low), reference, 1.5) << low << " Hz octave";
    EXPECT_LT(Peak(samples), 0.8f);
    noise.Rewind();
    EXPECT_EQ(Render(noise, 1000), std::vector<float>(samples.begin(), samples.begin() + 1000));
}

TEST(PluckedGuitar, PlaysInTuneLoudlyWithoutClippingAtEveryRate)
{
    for (const double rate : {44100.0, 48000.0, 96000.0}) {
        TPluckedGuitar guitar(rate);
        const std::vector<float> loop = Render(guitar, std::size_t(TPluckedGuitar::LoopSeconds() * rate));
        const float peak = Peak(loop);
        EXPECT_GT(peak, 0.2f) << rate;
        EXPECT_LT(peak, 1.0f) << rate;

        // The first chord is E major: its lowest note, E2 at 82.4 Hz, is the
        // strongest component below 100 Hz.
        const std::vector<float> chord(loop.begin(), loop.begin() + std::size_t(rate));
        const std::vector<std::complex<double>> spectrum = test::Fft(chord);
        const double binHz = rate / double(spectrum.size());
        std::size_t strongest = 1;
        for (std::size_t k = 1; k * binHz < 100; ++k)
            if (std::norm(spectrum[k]) > std::norm(spectrum[strongest]))
                strongest = k;
        EXPECT_NEAR(strongest * binHz, 82.41, 1.5) << rate;

        guitar.Rewind();
        EXPECT_EQ(Render(guitar, 5000), std::vector<float>(loop.begin(), loop.begin() + 5000)) << rate;
    }
}
