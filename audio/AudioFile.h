#pragma once

// Reading the user's recordings (WAV, FLAC, OGG and whatever else libsndfile
// reads) and writing rendered audio as WAV.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <span>

namespace cva {

// The sample rates the programs read and render: from telephone speech to
// the fastest converters sold. Outside lies a broken or hostile header.
constexpr double LowestSampleRate = 8000;
constexpr double HighestSampleRate = 768000;

// An audio file read block by block, its channels mixed to one. Opening
// checks everything the header tells before a sample is read, and raises
// 'Cannot read audio file "PATH". REASON' when the path is a folder, the file
// cannot be opened or decoded, its sample rate lies outside
// LowestSampleRate..HighestSampleRate, it holds no samples or it is longer
// than an hour.
class TAudioFileReader {
public:
    explicit TAudioFileReader(const std::filesystem::path &path);
    ~TAudioFileReader();
    TAudioFileReader(const TAudioFileReader &) = delete;
    TAudioFileReader &operator=(const TAudioFileReader &) = delete;

    const std::filesystem::path &FilePath() const { return Path; }
    double SampleRate() const { return Rate; }
    // The length the header gives.
    std::int64_t Frames() const { return FrameCount; }
    // Fills the start of 'mono' with the next frames, -1..1, and returns how
    // many; 0 at the end. Raises for a decoding error or samples that are not
    // finite numbers.
    std::size_t Read(std::span<float> mono);

private:
    struct TState;
    std::filesystem::path Path;
    std::unique_ptr<TState> State;
    double Rate = 0;
    std::int64_t FrameCount = 0;
};

enum class TWavEncoding { Pcm24, Float32 };

// A WAV file of one channel, written block by block through the atomic file
// writer, so that audio of any length takes little memory and an existing
// file is replaced only by the complete new one. 'nextBlock' fills the start
// of the span it is given and returns how many samples it wrote, until
// 'sampleCount' are written; what it throws leaves the file as it was.
// Pcm24 limits the samples to -1..1 and counts in 'clipped' those it had to.
using TNextAudioBlock = std::function<std::size_t(std::span<float> block)>;
void WriteWavFile(const std::filesystem::path &path, std::uint64_t sampleCount, int sampleRate,
                  TWavEncoding encoding, const TNextAudioBlock &nextBlock, std::size_t &clipped);

} // namespace cva
