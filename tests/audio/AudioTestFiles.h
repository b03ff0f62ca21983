#pragma once

// Audio files for the tests: WAV headers of rates and lengths no recorder
// gives, and whole recordings read and written through the programs' own
// block-by-block reader and writer.

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "audio/AudioFile.h"

namespace cva::test {

// The 44-byte header of a 16-bit mono WAV file of 'frames' samples at 'rate'.
inline std::string PcmWavHeader(std::uint32_t rate, std::uint32_t frames)
{
    std::string bytes;
    auto put = [&bytes](std::uint32_t value, int size) {
        for (int i = 0; i < size; ++i)
            bytes.push_back(char((value >> (8 * i)) & 0xFF));
    };
    bytes += "RIFF";
    put(36 + 2 * frames, 4);
    bytes += "WAVEfmt ";
    put(16, 4);
    put(1, 2); // integer PCM
    put(1, 2); // one channel
    put(rate, 4);
    put(2 * rate, 4);
    put(2, 2);
    put(16, 2);
    bytes += "data";
    put(2 * frames, 4);
    return bytes;
}

struct TRecording {
    double SampleRate = 0;
    std::vector<float> Samples;
};

inline TRecording ReadWholeAudioFile(const std::filesystem::path &path)
{
    TAudioFileReader reader(path);
    TRecording recording{reader.SampleRate(), std::vector<float>(static_cast<std::size_t>(reader.Frames()))};
    std::size_t filled = 0;
    while (filled < recording.Samples.size()) {
        const std::size_t count = reader.Read(std::span(recording.Samples).subspan(filled));
        if (count == 0)
            break;
        filled += count;
    }
    recording.Samples.resize(filled);
    return recording;
}

inline void WriteWholeWavFile(const std::filesystem::path &path, const std::vector<float> &samples, int sampleRate,
                              TWavEncoding encoding, std::size_t &clipped)
{
    std::size_t written = 0;
    WriteWavFile(
        path, samples.size(), sampleRate, encoding,
        [&](std::span<float> block) {
            const std::size_t count = std::min(block.size(), samples.size() - written);
            std::copy_n(samples.begin() + static_cast<std::ptrdiff_t>(written), count, block.begin());
            written += count;
            return count;
        },
        clipped);
}

} // namespace cva::test
