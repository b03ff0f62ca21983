#include "models/TubeStage.h"

namespace cva {

namespace {

constexpr TTriode Triodes[] = {
    {"12AX7", 62'500, 100, 1.6e-3},
    {"12AT7", 10'900, 60, 5.5e-3},
    {"12AU7", 7'700, 17, 2.2e-3},
    {"12AY7", 25'000, 40, 1.6e-3},
};

double Parallel(double a, double b) { return a * b / (a + b); }

} // namespace

std::span<const TTriode> CommonTriodes() { return Triodes; }

double CommonCathodeOutputResistance(const TTriode &tube, double plateResistor, double cathodeResistor,
                                     bool bypassed)
{
    const double cathode = bypassed ? 0 : cathodeResistor;
    return Parallel(plateResistor, tube.PlateResistance + (tube.Amplification + 1) * cathode);
}

double CathodeFollowerOutputResistance(const TTriode &tube, double cathodeResistor)
{
    return Parallel(1 / tube.Transconductance, cathodeResistor);
}

} // namespace cva
