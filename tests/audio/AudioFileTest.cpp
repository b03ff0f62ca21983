// Audio files in and out: what the WAV writer produces is read back by
// libsndfile exactly, recordings are mixed to mono and resampled without
// audible error, and files that cannot be used are refused with their name
// and the reason.

#include <gtest/gtest.h>

#include <sndfile.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <thread>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <unistd.h>
#include <algorithm>
#include <vector>

#include "AudioTestFiles.h"
#include "audio/AudioFile.h"
#include "audio/RecordingLoad.h"
#include "audio/Resampler.h"
#include "numerics/Error.h"

using namespace cva;
namespace fs = std::filesystem;

namespace {

class AudioFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        Dir = fs::temp_directory_path() / ("corvanta-audio-test-" + std::to_string(::getpid()));
        fs::create_directories(Dir);
    }
    void TearDown() override { fs::remove_all(Dir); }

    // A file written by libsndfile itself, frames interleaved.
    fs::path WriteWithLibsndfile(const std::string &name, int format, int channels, int rate,
                                 const std::vector<float> &interleaved)
    {
        const fs::path path = Dir / name;
        SF_INFO info{};
        info.samplerate = rate;
        info.channels = channels;
        info.format = format;
        SNDFILE *file = sf_open(path.c_str(), SFM_WRITE, &info);
        EXPECT_NE(file, nullptr) << sf_strerror(nullptr);
        sf_writef_float(file, interleaved.data(), sf_count_t(interleaved.size() / channels));
        sf_close(file);
        return path;
    }

    fs::path Dir;
};

// 'frames' of silence at 'rate'.
std::string PcmWav(std::uint32_t rate, std::uint32_t frames)
{
    return test::PcmWavHeader(rate, frames) + std::string(2 * frames, '\0');
}

std::vector<float> Sine(double frequency, double rate, std::size_t count, double amplitude = 0.5)
{
    std::vector<float> samples(count);
    for (std::size_t n = 0; n < count; ++n)
        samples[n] = float(amplitude * std::sin(2 * std::numbers::pi * frequency * double(n) / rate));
    return samples;
}

} // namespace

TEST_F(AudioFile, WavWriterIsReadBackExactlyInBothEncodings)
{
    // An odd count, so the 24-bit data needs its pad byte; values beyond
    // full scale are limited and counted.
    std::vector<float> samples = Sine(997, 48000, 4801, 0.9);
    samples[10] = 1.5f;
    samples[11] = -2.0f;
    for (const TWavEncoding encoding : {TWavEncoding::Pcm24, TWavEncoding::Float32}) {
        const fs::path path = Dir / "out.wav";
        std::size_t clipped = 99;
        test::WriteWholeWavFile(path, samples, 48000, encoding, clipped);
        const test::TRecording back = test::ReadWholeAudioFile(path);
        EXPECT_EQ(back.SampleRate, 48000);
        ASSERT_EQ(back.Samples.size(), samples.size());
        const bool pcm = encoding == TWavEncoding::Pcm24;
        EXPECT_EQ(clipped, pcm ? 2u : 0u);
        for (std::size_t n = 0; n < samples.size(); ++n) {
            const float expected = pcm ? std::clamp(samples[n], -1.0f, 1.0f) : samples[n];
            ASSERT_NEAR(back.Samples[n], expected, pcm ? 1.0 / 8388607 : 0.0) << n;
        }
    }
}

TEST_F(AudioFile, ChannelsAreMixedAndOtherFormatsRead)
{
    // Left a sine, right its negative plus a constant: the mix is the constant.
    const std::vector<float> left = Sine(440, 44100, 3000);
    std::vector<float> interleaved;
    for (const float s : left) {
        interleaved.push_back(s);
        interleaved.push_back(0.5f - s);
    }
    for (const int format : {SF_FORMAT_WAV | SF_FORMAT_FLOAT, SF_FORMAT_FLAC | SF_FORMAT_PCM_24}) {
        const fs::path path = WriteWithLibsndfile("stereo", format, 2, 44100, interleaved);
        const test::TRecording mono = test::ReadWholeAudioFile(path);
        EXPECT_EQ(mono.SampleRate, 44100);
        ASSERT_EQ(mono.Samples.size(), left.size());
        for (const float s : mono.Samples)
            ASSERT_NEAR(s, 0.25f, 1e-4);
    }
}

TEST_F(AudioFile, UnusableFilesAreRefusedWithNameAndReason)
{
    auto reason = [](const fs::path &path) -> std::string {
        try {
            test::ReadWholeAudioFile(path);
        } catch (const CorvantaError &error) {
            return error.what();
        }
        return "accepted";
    };
    const fs::path missing = Dir / "missing.wav";
    EXPECT_NE(reason(missing).find("Cannot read audio file \"" + missing.string() + "\""), std::string::npos);

    const fs::path text = Dir / "notes.wav";
    std::ofstream(text) << "not audio at all";
    EXPECT_NE(reason(text).find("\"" + text.string() + "\""), std::string::npos);

    const fs::path empty = WriteWithLibsndfile("empty.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, 48000, {});
    EXPECT_NE(reason(empty).find("holds no samples"), std::string::npos);

    const fs::path broken = WriteWithLibsndfile("nan.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 1, 48000,
                                                {0.1f, std::nanf(""), 0.2f});
    EXPECT_NE(reason(broken).find("not finite"), std::string::npos);

    // Refused from the header, before anything is read, in the user's words.
    struct TCase {
        std::string Name, Bytes, Reason;
    };
    fs::create_directory(Dir / "take.wav");
    for (const TCase &c : {TCase{"take.wav", "", "It is a folder."},
                           TCase{"rate0.wav", PcmWav(0, 100), "It gives an invalid sample rate (0 Hz)."},
                           TCase{"rate1.wav", PcmWav(1, 100), "It gives an invalid sample rate (1 Hz): only 8 kHz to 768 kHz are read."},
                           TCase{"rate7999.wav", PcmWav(7999, 100), "invalid sample rate (7999 Hz)"},
                           TCase{"rate800k.wav", PcmWav(800000, 100), "invalid sample rate (800000 Hz)"},
                           TCase{"rate8k.wav", PcmWav(8000, 100), "accepted"},
                           TCase{"rate768k.wav", PcmWav(768000, 100), "accepted"}}) {
        if (!c.Bytes.empty())
            std::ofstream(Dir / c.Name, std::ios::binary) << c.Bytes;
        const std::string message = reason(Dir / c.Name);
        EXPECT_NE(message.find(c.Reason), std::string::npos) << message;
    }
}

// Reading on a thread of its own gives what reading and resampling the
// whole file gives, block by block; it can be cancelled and reports errors.
TEST_F(AudioFile, RecordingsAreReadOnAThreadAsAWholeReadWould)
{
    auto read = [](const fs::path &path, bool cancel) {
        auto load = std::make_unique<TRecordingLoad>(std::make_unique<TAudioFileReader>(path), 48000);
        if (cancel)
            load->Cancel();
        while (!load->Finished())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return load;
    };
    const fs::path take = WriteWithLibsndfile("take.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_24, 1, 44100,
                                              Sine(441, 44100, 3 * 44100));
    const auto whole = read(take, false);
    EXPECT_EQ(whole->Error(), "");
    EXPECT_EQ(whole->Samples(), Resample(test::ReadWholeAudioFile(take).Samples, 44100, 48000));

    // Ten minutes at 8 kHz take seconds to resample: cancelled at once,
    // nothing is kept.
    std::ofstream(Dir / "long.wav", std::ios::binary) << PcmWav(8000, 8000 * 600);
    const auto cancelled = read(Dir / "long.wav", true);
    EXPECT_TRUE(cancelled->Cancelled());
    EXPECT_TRUE(cancelled->Samples().empty());

    std::vector<float> broken = Sine(441, 44100, 44100);
    broken[30000] = std::nanf("");
    const fs::path bad = WriteWithLibsndfile("bad.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 1, 44100, broken);
    const auto refused = read(bad, false);
    EXPECT_NE(refused->Error().find("\"" + bad.string() + "\". It holds samples that are not finite"), std::string::npos)
        << refused->Error();
    EXPECT_TRUE(refused->Samples().empty());
}

TEST(Resampler, TonesKeepPitchAndLevelAndAliasesAreRemoved)
{
    struct TCase {
        double From, To, Tone;
    };
    for (const TCase c : {TCase{44100, 48000, 1000}, TCase{48000, 44100, 15000}, TCase{22050, 96000, 9000},
                          TCase{96000, 48000, 5000}}) {
        const std::vector<float> output = Resample(Sine(c.Tone, c.From, std::size_t(c.From)), c.From, c.To);
        const std::vector<float> expected = Sine(c.Tone, c.To, output.size());
        ASSERT_NEAR(double(output.size()), c.To, c.To / c.From + 1);
        // Away from the ends, where the kernel runs out of input.
        double worst = 0;
        for (std::size_t n = 200; n + 200 < output.size(); ++n)
            worst = std::max(worst, double(std::abs(output[n] - expected[n])));
        EXPECT_LT(worst, 0.005) << c.From << " -> " << c.To;
    }
    // 30 kHz cannot exist at 48 kHz: it must not fold back to 18 kHz.
    const std::vector<float> folded = Resample(Sine(30000, 96000, 96000), 96000, 48000);
    double peak = 0;
    for (std::size_t n = 200; n + 200 < folded.size(); ++n)
        peak = std::max(peak, double(std::abs(folded[n])));
    EXPECT_LT(peak, 0.005);
}
