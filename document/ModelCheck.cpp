#include "document/ModelCheck.h"

#include <cmath>
#include <cstdio>

#include "document/Netlist.h"
#include "models/NodalEngine.h"
#include "numerics/Error.h"

namespace cva {

std::optional<std::string> ModelAccuracyWarning(const TCircuit &circuit, const TTrace &live)
{
    // Without a loop model the live curve is the engine's own.
    if (!circuit.ActiveInfo().Loop)
        return std::nullopt;
    TTrace engine{};
    try {
        CalcGainCurve(BuildNetlist(circuit), circuit.ResolutionStep, engine);
    } catch (const CorvantaError &error) {
        return EngineFailureWarning(error);
    }
    return ModelAccuracyWarning(live, engine);
}

std::string EngineFailureWarning(const CorvantaError &error)
{
    // A circuit that is not passive is told as it is.
    if (dynamic_cast<const TNotPassiveError *>(&error))
        return error.what();
    return std::string("The nodal analysis cannot check these values: ") + error.what();
}

std::optional<std::string> ModelAccuracyWarning(const TTrace &live, const TTrace &engine)
{
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
