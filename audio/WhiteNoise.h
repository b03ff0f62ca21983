#pragma once

// A small, fast and reproducible white-noise generator (xorshift32): the same
// seed gives the same samples on every machine, so renders can be compared.

#include <cstdint>

namespace cva {

class TWhiteNoise {
public:
    explicit TWhiteNoise(std::uint32_t seed = 0x9E3779B9u) : State(seed == 0 ? 1 : seed) {}

    // Uniform in [-1, 1).
    float Next()
    {
        State ^= State << 13;
        State ^= State >> 17;
        State ^= State << 5;
        return static_cast<float>(static_cast<std::int32_t>(State)) * (1.0f / 2147483648.0f);
    }

private:
    std::uint32_t State;
};

} // namespace cva
