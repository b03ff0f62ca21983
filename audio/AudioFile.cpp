#include "audio/AudioFile.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "io/AtomicFile.h"
#include "numerics/Error.h"

namespace cva {

namespace {

// Longer recordings are refused from the header, before any reading: the
// desktop program holds a recording at the device's rate (an hour at 48 kHz
// is 690 MB).
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

struct TAudioFileReader::TState {
    std::unique_ptr<SNDFILE, TSndFileCloser> File;
    int Channels = 0;
    std::vector<float> Interleaved;
};

TAudioFileReader::TAudioFileReader(const std::filesystem::path &path) : Path(path), State(std::make_unique<TState>())
{
    std::error_code ignored;
    if (std::filesystem::is_directory(path, ignored))
        FailReading(path, "It is a folder.");
    SF_INFO info{};
    State->File.reset(sf_open(path.c_str(), SFM_READ, &info));
    if (!State->File) {
        // libsndfile refuses a header with a rate of zero without telling
        // the rate, in words about its own structure.
        if (std::string_view(sf_strerror(nullptr)).find("SF_INFO struct incomplete") != std::string_view::npos)
            FailReading(path, "It gives an invalid sample rate (0 Hz).");
        FailReading(path, sf_strerror(nullptr));
    }
    if (info.samplerate < LowestSampleRate || info.samplerate > HighestSampleRate)
        FailReading(path, "It gives an invalid sample rate (" + std::to_string(info.samplerate) +
                              " Hz): only 8 kHz to 768 kHz are read.");
    if (info.frames <= 0 || info.channels <= 0)
        FailReading(path, "It holds no samples.");
    if (static_cast<double>(info.frames) / info.samplerate > MaxSeconds)
        FailReading(path, "It is longer than an hour.");
    Rate = info.samplerate;
    FrameCount = info.frames;
    State->Channels = info.channels;
}

TAudioFileReader::~TAudioFileReader() = default;

std::size_t TAudioFileReader::Read(std::span<float> mono)
{
    const int channels = State->Channels;
    const auto frames = static_cast<sf_count_t>(std::min<std::size_t>(mono.size(), ReadBlockFrames));
    State->Interleaved.resize(static_cast<std::size_t>(frames * channels));
    const sf_count_t read = sf_readf_float(State->File.get(), State->Interleaved.data(), frames);
    if (read <= 0) {
        if (sf_error(State->File.get()) != SF_ERR_NO_ERROR)
            FailReading(Path, sf_strerror(State->File.get()));
        return 0;
    }
    for (sf_count_t frame = 0; frame < read; ++frame) {
        float sum = 0;
        for (int channel = 0; channel < channels; ++channel)
            sum += State->Interleaved[static_cast<std::size_t>(frame * channels + channel)];
        if (!std::isfinite(sum))
            FailReading(Path, "It holds samples that are not finite numbers.");
        mono[static_cast<std::size_t>(frame)] = sum / static_cast<float>(channels);
    }
    return static_cast<std::size_t>(read);
}

namespace {

std::string WavHeader(std::uint64_t sampleCount, int sampleRate, TWavEncoding encoding)
{
    const bool isFloat = encoding == TWavEncoding::Float32;
    const std::uint32_t bytesPerSample = isFloat ? 4 : 3;
    // The RIFF sizes are 32 bits wide.
    if (sampleCount > (std::numeric_limits<std::uint32_t>::max() - 64) / bytesPerSample)
        throw CorvantaError("The audio is too long for a WAV file.");
    const auto dataBytes = static_cast<std::uint32_t>(sampleCount * bytesPerSample);
    // Every chunk starts at an even offset, so odd data gets a pad byte.
    const std::uint32_t padBytes = dataBytes % 2;
    // Float data needs the extended format chunk and a fact chunk.
    const std::uint32_t formatBytes = isFloat ? 18 : 16;
    const std::uint32_t factBytes = isFloat ? 12 : 0;
    std::string bytes;
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
        AppendLittleEndian(bytes, static_cast<std::uint32_t>(sampleCount), 4);
    }
    bytes += "data";
    AppendLittleEndian(bytes, dataBytes, 4);
    return bytes;
}

// Appends the samples' bytes; counts in 'clipped' the 24-bit samples limited
// to full scale.
void AppendWavSamples(std::string &bytes, std::span<const float> samples, TWavEncoding encoding,
                      std::size_t &clipped)
{
    constexpr double FullScale = 8388607.0; // 2^23 - 1
    for (const float sample : samples) {
        if (encoding == TWavEncoding::Float32) {
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
}

bool NeedsPadByte(std::uint64_t sampleCount, TWavEncoding encoding)
{
    return encoding == TWavEncoding::Pcm24 && sampleCount % 2 != 0;
}

} // namespace

void WriteWavFile(const std::filesystem::path &path, std::uint64_t sampleCount, int sampleRate,
                  TWavEncoding encoding, const TNextAudioBlock &nextBlock, std::size_t &clipped)
{
    constexpr std::size_t BlockSamples = 1 << 14;
    clipped = 0;
    WriteFileAtomically(path, [&](const TByteSink &write) {
        write(WavHeader(sampleCount, sampleRate, encoding));
        std::vector<float> block(BlockSamples);
        std::string bytes;
        for (std::uint64_t written = 0; written < sampleCount;) {
            const auto wanted = static_cast<std::size_t>(std::min<std::uint64_t>(BlockSamples, sampleCount - written));
            const std::size_t count = nextBlock(std::span(block).first(wanted));
            if (count == 0 || count > wanted)
                throw CorvantaError("The audio ended after " + std::to_string(written) + " of " +
                                    std::to_string(sampleCount) + " samples.");
            bytes.clear();
            AppendWavSamples(bytes, std::span(block).first(count), encoding, clipped);
            write(bytes);
            written += count;
        }
        if (NeedsPadByte(sampleCount, encoding))
            write(std::string_view("\0", 1));
    });
}

} // namespace cva
