#include "audio/PluckedGuitar.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace cva {

namespace {

// Standard tuning, low E to high E, as MIDI note numbers.
constexpr std::array<int, 6> OpenStrings{40, 45, 50, 55, 59, 64};
constexpr int Unplayed = -1;
using TChord = std::array<int, 6>; // fret per string

constexpr TChord EMajor{0, 2, 2, 1, 0, 0};
constexpr TChord AMajor{Unplayed, 0, 2, 2, 2, 0};
constexpr TChord DMajor{Unplayed, Unplayed, 0, 2, 3, 2};
constexpr TChord GMajor{3, 2, 0, 0, 0, 3};

constexpr double BeatSeconds = 0.6; // 100 beats per minute
constexpr int PatternBeats = 16;    // four bars of four
constexpr double StrumSpacing = 0.012;

// Time in beats, string and fret of the single notes of the riff in bar 3.
struct TNote {
    double Beat;
    int String;
    int Fret;
};
constexpr std::array<TNote, 8> Riff{{{8.0, 0, 0}, {8.5, 0, 3}, {9.0, 1, 0}, {9.5, 1, 2},
                                     {10.0, 2, 0}, {10.5, 2, 2}, {11.0, 3, 0}, {11.5, 2, 2}}};

struct TStrum {
    double Beat;
    const TChord *Chord;
    float Level;
};
constexpr std::array<TStrum, 8> Strums{{{0.0, &EMajor, 0.9f}, {2.0, &EMajor, 0.6f}, {3.0, &EMajor, 0.6f},
                                        {4.0, &AMajor, 0.9f}, {6.0, &AMajor, 0.6f}, {12.0, &DMajor, 0.9f},
                                        {14.0, &GMajor, 0.9f}, {15.0, &GMajor, 0.6f}}};

double NoteFrequency(int midiNote) { return 440.0 * std::pow(2.0, (midiNote - 69) / 12.0); }

// Leaves headroom: the loudest strum peaks well below full scale.
constexpr float OutputScale = 0.22f;

// How long a string rings, low strings longer.
double RingSeconds(double frequency) { return std::clamp(400.0 / frequency, 1.2, 4.0); }

constexpr double PickupResonanceHz = 4000.0;
constexpr double PickupQ = 2.0;
// Where the pickup sits along the string, as a share of its length from the bridge.
constexpr double PickupPlace = 0.2;

} // namespace

TPluckedGuitar::TString::TString(double sampleRate, double lowestFrequency)
    : Rate(sampleRate), Line(static_cast<std::size_t>(sampleRate / lowestFrequency) + 2, 0.0f)
{
}

void TPluckedGuitar::TString::Pluck(double frequency, float level, TWhiteNoise &noise)
{
    // The averaging in Tick delays by half a sample.
    Length = std::clamp(static_cast<int>(std::lround(Rate / frequency - 0.5)), 2, static_cast<int>(Line.size()));
    Position = 0;
    PickupOffset = std::max(1, static_cast<int>(Length * PickupPlace));
    LoopGain = static_cast<float>(std::pow(10.0, -3.0 / (RingSeconds(frequency) * frequency)));
    // A noise burst, softened a little by a one-pole lowpass and with its
    // mean removed so that the string does not start with an offset.
    float smoothed = 0;
    double mean = 0;
    for (int i = 0; i < Length; ++i) {
        smoothed += 0.5f * (noise.Next() - smoothed);
        Line[i] = smoothed;
        mean += smoothed;
    }
    mean /= Length;
    for (int i = 0; i < Length; ++i)
        Line[i] = (Line[i] - static_cast<float>(mean)) * level;
}

float TPluckedGuitar::TString::Tick()
{
    const int next = Position + 1 == Length ? 0 : Position + 1;
    const float oldest = Line[Position];
    // Averaging two neighbours damps the high harmonics faster, as in a real string.
    Line[Position] = LoopGain * 0.5f * (oldest + Line[next]);
    int tap = Position + PickupOffset;
    if (tap >= Length)
        tap -= Length;
    const float picked = oldest - Line[tap];
    Position = next;
    return picked;
}

float TPluckedGuitar::TPickupResonance::Process(float x)
{
    const float y = B0 * x + Z1;
    Z1 = B1 * x - A1 * y + Z2;
    Z2 = B2 * x - A2 * y;
    return y;
}

TPluckedGuitar::TPluckedGuitar(double sampleRate)
    : LoopSamples(std::llround(LoopSeconds() * sampleRate))
{
    for (int string = 0; string < 6; ++string)
        Strings.emplace_back(sampleRate, NoteFrequency(OpenStrings[string]));

    auto at = [sampleRate](double seconds) { return std::llround(seconds * sampleRate); };
    for (const TStrum &strum : Strums) {
        int played = 0;
        for (int string = 0; string < 6; ++string) {
            const int fret = (*strum.Chord)[string];
            if (fret == Unplayed)
                continue;
            Pattern.push_back({at(strum.Beat * BeatSeconds + played * StrumSpacing), string,
                               NoteFrequency(OpenStrings[string] + fret), strum.Level});
            ++played;
        }
    }
    for (const TNote &note : Riff)
        Pattern.push_back({at(note.Beat * BeatSeconds), note.String, NoteFrequency(OpenStrings[note.String] + note.Fret),
                           0.8f});
    std::sort(Pattern.begin(), Pattern.end(), [](const TPluck &a, const TPluck &b) { return a.Sample < b.Sample; });

    // Second-order lowpass by the bilinear transform with prewarping.
    const double w = 2 * std::numbers::pi * PickupResonanceHz / sampleRate;
    const double alpha = std::sin(w) / (2 * PickupQ);
    const double a0 = 1 + alpha;
    Pickup.B0 = static_cast<float>((1 - std::cos(w)) / 2 / a0);
    Pickup.B1 = static_cast<float>((1 - std::cos(w)) / a0);
    Pickup.B2 = Pickup.B0;
    Pickup.A1 = static_cast<float>(-2 * std::cos(w) / a0);
    Pickup.A2 = static_cast<float>((1 - alpha) / a0);
    Rewind();
}

double TPluckedGuitar::LoopSeconds() { return PatternBeats * BeatSeconds; }

void TPluckedGuitar::Rewind()
{
    Noise = TWhiteNoise();
    for (TString &string : Strings)
        string.Pluck(NoteFrequency(OpenStrings[0]), 0.0f, Noise);
    Pickup.Z1 = Pickup.Z2 = 0;
    Clock = 0;
    NextPluck = 0;
}

void TPluckedGuitar::Render(std::span<float> out)
{
    for (float &sample : out) {
        while (NextPluck < Pattern.size() && Pattern[NextPluck].Sample == Clock) {
            const TPluck &pluck = Pattern[NextPluck++];
            Strings[pluck.String].Pluck(pluck.Frequency, pluck.Level, Noise);
        }
        float sum = 0;
        for (TString &string : Strings)
            sum += string.Tick();
        sample = Pickup.Process(sum) * OutputScale;
        if (++Clock == LoopSamples) {
            Clock = 0;
            NextPluck = 0;
        }
    }
}

} // namespace cva
