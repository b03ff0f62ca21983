#pragma once

// The measuring side of the audio tests: a plain radix-2 FFT, independent of
// everything it measures.

#include <complex>
#include <vector>

namespace cva::test {

// The discrete Fourier transform of 'signal' zero-padded to the next power of two.
std::vector<std::complex<double>> Fft(const std::vector<float> &signal);

// Power of the samples' spectrum between two frequencies, in dB (arbitrary reference).
double BandPowerDB(const std::vector<float> &signal, double sampleRate, double lowHz, double highHz);

} // namespace cva::test
