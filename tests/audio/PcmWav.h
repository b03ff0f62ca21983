#pragma once

// A 16-bit mono WAV file as its header says, whatever libsndfile would
// write: for rates and lengths a recorder never gives.

#include <cstdint>
#include <string>

namespace cva::test {

// The 44-byte header of 'frames' samples at 'rate'.
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

} // namespace cva::test
