#pragma once

// Reading the user's recordings (WAV, FLAC, OGG and whatever else libsndfile
// reads) and writing rendered audio as WAV.

#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace cva {

struct TMonoAudio {
    double SampleRate = 0;
    std::vector<float> Samples; // the channels mixed to one, -1..1
};

// Reads the whole file and mixes its channels to one. Raises
// 'Cannot read audio file "PATH". REASON' when the file cannot be opened or
// decoded, holds no samples, holds samples that are not finite numbers or is
// too long to hold in memory.
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

} // namespace cva
