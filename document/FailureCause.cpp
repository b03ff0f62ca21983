#include "document/FailureCause.h"

#include <cmath>

#include "components/EngNotation.h"
#include "document/ComponentNames.h"

namespace cva {

std::string SweepFailureCause(const TCircuit &circuit)
{
    std::string farthestName;
    std::string farthestQuantity;
    double farthestValue = 0;
    double farthestDecades = ExtremeValueDecades;
    std::string_view farthestUnit;
    for (const TSymbolList::Entry &entry : circuit.ActiveValues()) {
        const TElementKind kind = entry.Symbol->Kind();
        const std::string_view unit = Traits(kind).ValueUnit;
        const double value = entry.Symbol->GetValue();
        // A reactance of zero divides by zero at every frequency.
        if ((kind == TElementKind::Capacitor || kind == TElementKind::Inductor) && value == 0)
            return ComponentOnPage(circuit, entry.Name) + " is 0 " + std::string(unit) + ": " +
                   (kind == TElementKind::Capacitor ? "a capacitance" : "an inductance") +
                   " of zero leaves no finite gain";
        auto consider = [&](double candidate, std::string_view quantity, std::string_view candidateUnit) {
            if (candidate == 0 || !std::isfinite(candidate))
                return;
            const double decades = std::fabs(std::log10(std::fabs(candidate)));
            if (decades > farthestDecades) {
                farthestDecades = decades;
                farthestName = entry.Name;
                farthestQuantity = quantity;
                farthestValue = candidate;
                farthestUnit = candidateUnit;
            }
        };
        consider(value, "", unit);
        if (kind == TElementKind::Inductor)
            consider(entry.Symbol->GetValueR(), "a DC resistance of ", "Ω");
    }
    if (farthestName.empty())
        return {};
    return ComponentOnPage(circuit, farthestName) + (farthestQuantity.empty() ? " is " : " has " + farthestQuantity) +
           FormatGeneral(farthestValue) + " " + std::string(farthestUnit) + ": a value too " +
           (std::fabs(farthestValue) > 1 ? "large" : "small") + " for the calculation, which leaves no finite gain";
}

} // namespace cva
