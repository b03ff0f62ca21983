#include "audio/AudioFile.h"

#include <sndfile.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>

#include "document/AtomicFile.h"
#include "numerics/Error.h"

namespace cva {

namespace {

// An hour of CD-quality stereo is about 1.3 GB as decoded floats; longer
// recordings are refused rather than exhausting memory.
constexpr double MaxSeconds = 3600.0;
constexpr sf_count_t ReadBlockFrames = 4096;

[[noreturn]] void FailReading(const std::filesystem::path &path, const std::string &reason)
{
    throw CorvantaError("Cannot read audio file \"" + path.string() + "\". " + reason);
}

struct TSndFileCloser {
    void operator()(SNDFILE *file) const { sf_close(file); }
};

void AppendLittleEndian(std::string &bytes, std::uint32_t value, int byteCount)
{
    for (int i = 0; i < byteCount; ++i)
        bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

} // namespace

TMonoAudio ReadAudioFile(const std::filesystem::path &path)
{
    SF_INFO info{};
    std::unique_ptr<SNDFILE, TSndFileCloser> file(sf_open(path.c_str(), SFM_READ, &info));
    if (!file)
        FailReading(path, sf_strerror(nullptr));
    if (info.frames <= 0 || info.channels <= 0)
        FailReading(path, "It holds no samples.");
    if (info.samplerate <= 0 || static_cast<double>(info.frames) / info.samplerate > MaxSeconds)
        FailReading(path, "It is longer than an hour.");

    TMonoAudio audio;
    audio.SampleRate = info.samplerate;
    audio.Samples.reserve(static_cast<std::size_t>(info.frames));
    std::vector<float> block(static_cast<std::size_t>(ReadBlockFrames * info.channels));
    for (;;) {
        const sf_count_t frames = sf_readf_float(file.get(), block.data(), ReadBlockFrames);
        if (frames <= 0)
            break;
        for (sf_count_t frame = 0; frame < frames; ++frame) {
            float sum = 0;
            for (int channel = 0; channel < info.channels; ++channel)
                sum += block[static_cast<std::size_t>(frame * info.channels + channel)];
            if (!std::isfinite(sum))
                FailReading(path, "It holds samples that are not finite numbers.");
            audio.Samples.push_back(sum / static_cast<float>(info.channels));
        }
    }
    if (sf_error(file.get()) != SF_ERR_NO_ERROR)
        FailReading(path, sf_strerror(file.get()));
    if (audio.Samples.empty())
        FailReading(path, "It holds no samples.");
    return audio;
}

std::string EncodeWav(std::span<const float> samples, int sampleRate, TWavEncoding encoding, std::size_t &clipped)
{
    const bool isFloat = encoding == TWavEncoding::Float32;
    const std::uint32_t bytesPerSample = isFloat ? 4 : 3;
    // The RIFF sizes are 32 bits wide.
    if (samples.size() > (std::numeric_limits<std::uint32_t>::max() - 64) / bytesPerSample)
        throw CorvantaError("The audio is too long for a WAV file.");
    const auto dataBytes = static_cast<std::uint32_t>(samples.size() * bytesPerSample);
    // Every chunk starts at an even offset, so odd data gets a pad byte.
    const std::uint32_t padBytes = dataBytes % 2;
    // Float data needs the extended format chunk and a fact chunk.
    const std::uint32_t formatBytes = isFloat ? 18 : 16;
    const std::uint32_t factBytes = isFloat ? 12 : 0;
    std::string bytes;
    bytes.reserve(44 + factBytes + dataBytes + 2);
    bytes += "RIFF";
    AppendLittleEndian(bytes, 4 + (8 + formatBytes) + factBytes + (8 + dataBytes + padBytes), 4);
    bytes += "WAVEfmt ";
    AppendLittleEndian(bytes, formatBytes, 4);
    AppendLittleEndian(bytes, isFloat ? 3 : 1, 2); // IEEE float or integer PCM
    AppendLittleEndian(bytes, 1, 2);              // one channel
    AppendLittleEndian(bytes, static_cast<std::uint32_t>(sampleRate), 4);
    AppendLittleEndian(bytes, static_cast<std::uint32_t>(sampleRate) * bytesPerSample, 4);
    AppendLittleEndian(bytes, bytesPerSample, 2);
    AppendLittleEndian(bytes, bytesPerSample * 8, 2);
    if (isFloat) {
        AppendLittleEndian(bytes, 0, 2);
        bytes += "fact";
        AppendLittleEndian(bytes, 4, 4);
        AppendLittleEndian(bytes, static_cast<std::uint32_t>(samples.size()), 4);
    }
    bytes += "data";
    AppendLittleEndian(bytes, dataBytes, 4);

    clipped = 0;
    constexpr double FullScale = 8388607.0; // 2^23 - 1
    for (const float sample : samples) {
        if (isFloat) {
            std::uint32_t bits;
            static_assert(sizeof bits == sizeof sample);
            std::memcpy(&bits, &sample, sizeof bits);
            AppendLittleEndian(bytes, bits, 4);
            continue;
        }
        double value = sample;
        if (value > 1.0 || value < -1.0) {
            ++clipped;
            value = value > 0 ? 1.0 : -1.0;
        }
        const auto code = static_cast<std::int32_t>(std::lround(value * FullScale));
        AppendLittleEndian(bytes, static_cast<std::uint32_t>(code), 3);
    }
    if (padBytes != 0)
        bytes.push_back('\0');
    return bytes;
}

void WriteWavFile(const std::filesystem::path &path, std::span<const float> samples, int sampleRate,
                  TWavEncoding encoding, std::size_t &clipped)
{
    WriteFileAtomically(path, EncodeWav(samples, sampleRate, encoding, clipped));
}

} // namespace cva
