#include "FftAnalysis.h"

#include <cmath>
#include <numbers>

namespace cva::test {

std::vector<std::complex<double>> Fft(const std::vector<float> &signal)
{
    std::size_t n = 1;
    while (n < signal.size())
        n *= 2;
    std::vector<std::complex<double>> x(n);
    for (std::size_t i = 0; i < signal.size(); ++i)
        x[i] = signal[i];
    for (std::size_t i = 1, j = 0; i < n; ++i) {
        std::size_t bit = n >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j)
            std::swap(x[i], x[j]);
    }
    for (std::size_t length = 2; length <= n; length *= 2) {
        const std::complex<double> turn = std::polar(1.0, -2 * std::numbers::pi / double(length));
        for (std::size_t start = 0; start < n; start += length) {
            std::complex<double> w = 1;
            for (std::size_t k = 0; k < length / 2; ++k) {
                const std::complex<double> even = x[start + k];
                const std::complex<double> odd = w * x[start + k + length / 2];
                x[start + k] = even + odd;
                x[start + k + length / 2] = even - odd;
                w *= turn;
            }
        }
    }
    return x;
}

double BandPowerDB(const std::vector<float> &signal, double sampleRate, double lowHz, double highHz)
{
    const std::vector<std::complex<double>> spectrum = Fft(signal);
    const double binHz = sampleRate / double(spectrum.size());
    double power = 0;
    for (std::size_t k = 0; k < spectrum.size() / 2; ++k)
        if (k * binHz >= lowHz && k * binHz < highHz)
            power += std::norm(spectrum[k]);
    return 10 * std::log10(power);
}

} // namespace cva::test
