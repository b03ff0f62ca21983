#pragma once

// Reading the user's recordings (WAV, FLAC, OGG and whatever else libsndfile
// reads) and writing rendered audio as WAV.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

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

struct TMonoAudio {
    double SampleRate = 0;
    std::vector<float> Samples; // the channels mixed to one, -1..1
};

// Reads the whole file through TAudioFileReader, with its errors; also
// 'Not enough memory to read ...' and 'It holds no samples.' when decoding
// yields none.
TMonoAudio ReadAudioFile(const std::filesystem::path &path);

enum class TWavEncoding { Pcm24, Float32 };

// A complete WAV file of one channel. Pcm24 limits the samples to -1..1;
// the number of samples that had to be limited is returned in 'clipped'.
std::string EncodeWav(std::span<const float> samples, int sampleRate, TWavEncoding encoding,
                      std::size_t &clipped);

// EncodeWav through the atomic file writer: an existing file is replaced
// only by the complete new one.
void WriteWavFile(const std::filesystem::path &path, std::span<const float> samples, int sampleRate,
                  TWavEncoding encoding, std::size_t &clipped);

// The same for audio of any length, block by block: 'nextBlock' fills the
// start of the span it is given and returns how many samples it wrote, until
// 'sampleCount' are written. What it throws leaves the file as it was.
using TNextAudioBlock = std::function<std::size_t(std::span<float> block)>;
void WriteWavFile(const std::filesystem::path &path, std::uint64_t sampleCount, int sampleRate,
                  TWavEncoding encoding, const TNextAudioBlock &nextBlock, std::size_t &clipped);

} // namespace cva
