#pragma once

// The built-in demo guitar: six plucked strings (Karplus-Strong) heard
// through a magnetic pickup, playing a few bars of chords and single notes
// in an endless loop. Needs no sample files and sounds the same on every run.

#include <array>
#include <vector>

#include "audio/SignalSource.h"
#include "audio/WhiteNoise.h"

namespace cva {

class TPluckedGuitar final : public TSignalSource {
public:
    explicit TPluckedGuitar(double sampleRate);
    void Render(std::span<float> out) override;
    void Rewind() override;

    // Length of the repeating pattern.
    static double LoopSeconds();

private:
    struct TPluck {
        long long Sample; // from the start of the pattern
        int String;
        double Frequency;
        float Level;
    };

    class TString {
    public:
        TString(double sampleRate, double lowestFrequency);
        void Pluck(double frequency, float level, TWhiteNoise &noise);
        // The next sample as the pickup sees it.
        float Tick();

    private:
        double Rate;
        std::vector<float> Line; // one period of the string's wave
        int Length = 1;
        int Position = 0;
        int PickupOffset = 0;
        float LoopGain = 0;
    };

    // Resonance of the pickup's coil with its cable: a second-order lowpass.
    struct TPickupResonance {
        float B0 = 0, B1 = 0, B2 = 0, A1 = 0, A2 = 0;
        float Z1 = 0, Z2 = 0;
        float Process(float x);
    };

    long long LoopSamples;
    std::vector<TPluck> Pattern;
    std::vector<TString> Strings;
    TPickupResonance Pickup;
    TWhiteNoise Noise;
    long long Clock = 0;
    std::size_t NextPluck = 0;
};

} // namespace cva
