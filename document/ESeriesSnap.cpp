#include "document/ESeriesSnap.h"

#include "numerics/Error.h"

namespace cva {

std::vector<std::string> SnapActivePage(TCircuit &circuit, TESeries series)
{
    std::vector<std::string> unchanged;
    TSymbolList &values = circuit.Symbols.Page(circuit.Active);
    for (const TSymbolList::Entry &entry : TSymbolList(values)) {
        const bool resistor = dynamic_cast<const TSymbolResistor *>(entry.Symbol.get()) != nullptr;
        const bool capacitor = dynamic_cast<const TSymbolCapacitor *>(entry.Symbol.get()) != nullptr;
        if (!resistor && !capacitor)
            continue;
        try {
            const double snapped = NearestESeriesValue(entry.Symbol->GetValue(), series);
            if (resistor)
                values.AddResistor(entry.Name, snapped);
            else
                values.AddCapacitor(entry.Name, snapped);
        } catch (const CorvantaError &error) {
            unchanged.push_back(entry.Name + " stays as it was: " + error.what());
        }
    }
    return unchanged;
}

} // namespace cva
