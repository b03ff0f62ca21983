#include "document/ModelCheck.h"

#include <cmath>
#include <cstdio>

#include "document/Netlist.h"
#include "models/NodalEngine.h"
#include "numerics/Error.h"

namespace cva {

std::optional<std::string> ModelAccuracyWarning(const TCircuit &circuit, const TTrace &live)
{
    TTrace engine{};
    try {
        CalcGainCurve(BuildNetlist(circuit), circuit.ResolutionStep, engine);
    } catch (const TNotPassiveError &error) {
        return std::string(error.what());
    } catch (const CorvantaError &error) {
        return std::string("The nodal analysis cannot check these values: ") + error.what();
    }
    int worst = 0;
    for (int k = 1; k < GridPoints; ++k)
        if (std::fabs(live[k] - engine[k]) > std::fabs(live[worst] - engine[worst]))
            worst = k;
    const double deviation = std::fabs(live[worst] - engine[worst]);
    if (deviation <= ModelToleranceDB)
        return std::nullopt;
    char text[200];
    std::snprintf(text, sizeof text,
                  "The values are outside the range the model computes accurately: it differs from the nodal "
                  "analysis by up to %.3g dB (at %.4g Hz)",
                  deviation, GridFrequency(GridFirstStep + worst));
    return std::string(text);
}

} // namespace cva
