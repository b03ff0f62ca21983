#include "document/ResponseMap.h"

#include "document/Netlist.h"
#include "numerics/Error.h"

namespace cva {

namespace {

void RequireSlider(const TCircuit &circuit, TSlider slider)
{
    if (!circuit.SliderEnabled(slider))
        throw CorvantaError(std::string("The ") + std::string(circuit.ActiveInfo().TabCaption) + " page has no " +
                            std::string(SliderName(slider)) + " control to map");
}

} // namespace

void CalcEngineCurves(const TCircuit &circuit, TResponseCurves &curves)
{
    CalcCurves(BuildNetlist(circuit), circuit.ResolutionStep, curves);
}

std::vector<TTrace> CalcResponseMap(const TCircuit &circuit, TSlider slider, int step)
{
    RequireSlider(circuit, slider);
    std::vector<TTrace> map(MapPositions);
    TCircuit moved = circuit;
    for (int position = 0; position < MapPositions; ++position) {
        moved.SetPosition(slider, position);
        CalcGainCurve(BuildNetlist(moved), step, map[position]);
    }
    return map;
}

std::vector<TTrace> CalcResponseMap(const TCircuit &circuit, TSlider first, TSlider second, int step)
{
    RequireSlider(circuit, first);
    RequireSlider(circuit, second);
    if (first == second)
        throw CorvantaError(std::string("A map over two sliders needs two different ones, not ") +
                            std::string(SliderName(first)) + " twice");
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
