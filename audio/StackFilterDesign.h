#pragma once

// The tone stack as a digital filter at an audio rate, designed from the same
// branch list the circuit engine solves.
//
// How: the states of the nodal equations G x + C dx/dt = B u are the charges
// of the capacitors and the fluxes of the inductors. Backward Euler at a
// step far below the sample period (1/4096 of it) followed by repeated
// squaring of the one-step matrix gives the state's evolution over one
// sample with every pole at exp(s T) — no frequency warping, which the
// bilinear transform would add (about 17 % at 10 kHz and 48 kHz). The
// input couplings, with a few delayed inputs, are then fitted by linear
// least squares to the engine's own response from 10 Hz to near the Nyquist
// frequency (in magnitude: the phase may give way near Nyquist), so that
// the digital curve follows the analog one within 0.1 dB to 10 kHz at
// 44.1 kHz and above, and within 0.5 dB to 16 kHz at 48 kHz and above.

#include <array>

#include "models/Netlist.h"

namespace cva {

// The built-in stacks have up to seven capacitors and inductors; a netlist
// may have many more. The filter holds the circuit's states and a few
// delayed inputs.
constexpr int MaxReactiveElements = 32;
constexpr int MaxInputDelays = 4;
constexpr int MaxFilterOrder = MaxReactiveElements + MaxInputDelays;

// Trivially copyable, so that it can be handed to the audio thread as it is.
struct TStackFilterCoefficients {
    int Order = 0; // states: the circuit's charges and fluxes, then delayed inputs
    double SampleRate = 0;
    // y[n] = D u[n] + C . s[n-1];  s[n] = A s[n-1] + B u[n]
    std::array<std::array<double, MaxFilterOrder>, MaxFilterOrder> A{};
    std::array<double, MaxFilterOrder> B{};
    std::array<double, MaxFilterOrder> C{};
    double D = 0;
    // The stack's average gain from 20 Hz to 16 kHz (the mean of its curve in
    // dB) as a factor, so a bypass can be heard at the same loudness.
    double AverageGain = 1;
};

// Raises an error naming the circuit when it cannot be turned into a filter:
// what the engine refuses (a circuit that is not passive among it), a
// singular system, too many reactive elements, the output at ground, or a
// result that would not be stable.
TStackFilterCoefficients DesignStackFilter(const TNetlist &netlist, double sampleRate);

// True when every pole (eigenvalue of A) lies strictly inside the unit
// circle and every coefficient is finite: the filter's response to any
// bounded input stays bounded.
bool IsStable(const TStackFilterCoefficients &filter);

} // namespace cva
