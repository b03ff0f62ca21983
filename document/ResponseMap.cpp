#include "document/ResponseMap.h"

#include "document/Netlist.h"
#include "numerics/Error.h"

namespace cva {

namespace {

std::string ControlName(const TCircuit &circuit, int control)
{
    const TCircuitDef &page = circuit.ActiveInfo();
    return control >= 0 && control < page.ControlCount() ? page.Controls[std::size_t(control)].Label
                                                         : "control " + std::to_string(control + 1);
}

void RequireControl(const TCircuit &circuit, int control)
{
    if (!circuit.ControlEnabled(control))
        throw CorvantaError("The " + circuit.ActiveInfo().TabCaption + " page has no " +
                            ControlName(circuit, control) + " control to map");
}

} // namespace

void CalcEngineCurves(const TCircuit &circuit, TResponseCurves &curves)
{
    CalcCurves(BuildNetlist(circuit), circuit.ResolutionStep, curves);
}

std::vector<TTrace> CalcResponseMap(const TCircuit &circuit, int control, int step)
{
    RequireControl(circuit, control);
    std::vector<TTrace> map(MapPositions);
    TCircuit moved = circuit;
    for (int position = 0; position < MapPositions; ++position) {
        moved.SetPosition(control, position);
        CalcGainCurve(BuildNetlist(moved), step, map[position]);
    }
    return map;
}

std::vector<TTrace> CalcResponseMap(const TCircuit &circuit, int first, int second, int step)
{
    RequireControl(circuit, first);
    RequireControl(circuit, second);
    if (first == second)
        throw CorvantaError("A map over two sliders needs two different ones, not " + ControlName(circuit, first) +
                            " twice");
    std::vector<TTrace> map(std::size_t(MapPositions) * MapPositions);
    TCircuit moved = circuit;
    for (int a = 0; a < MapPositions; ++a) {
        moved.SetPosition(first, a);
        for (int b = 0; b < MapPositions; ++b) {
            moved.SetPosition(second, b);
            CalcGainCurve(BuildNetlist(moved), step, map[std::size_t(a) * MapPositions + b]);
        }
    }
    return map;
}

} // namespace cva
