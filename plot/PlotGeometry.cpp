#include "plot/PlotGeometry.h"

#include <cmath>

namespace cva {

namespace {

// The axis runs from 10 Hz (10^1) to 10^4.46875 Hz, the last grid step.
constexpr double AxisDecades = 4.46875 - 1;

} // namespace

bool TPlotGeometry::InFrame(int x, int y) const
{
    return x >= FrameLeft && x <= FrameRight() && y >= FrameTop && y <= FrameBottom();
}

int TPlotGeometry::FreqToX(double frequency) const
{
    return AxisFreqToX(frequency, FrameLeft, FrameRight());
}

double TPlotGeometry::XToFreq(int x) const
{
    // A frame without width shows nothing but the axis start.
    const int span = FrameRight() - FrameLeft;
    if (span <= 0)
        return 10;
    return std::pow(10.0, 1 + (x - FrameLeft) * AxisDecades / span);
}

int TPlotGeometry::DBToY(double db, const TPlotScale &scale) const
{
    return AxisDBToY(db, scale, FrameTop, FrameBottom());
}

TGridX BuildGridX(const TPlotGeometry &geometry)
{
    TGridX gridX;
    for (int s = GridFirstStep; s <= GridLastStep; ++s)
        gridX[s - GridFirstStep] = geometry.FreqToX(GridFrequency(s));
    return gridX;
}

int AxisFreqToX(double frequency, int left, int right)
{
    return left + static_cast<int>(std::trunc(AxisFreqToXF(frequency, left, right) - left));
}

double AxisFreqToXF(double frequency, int left, int right)
{
    return left + (right - left) * (std::log10(frequency) - 1) / AxisDecades;
}

int AxisDBToY(double db, const TPlotScale &scale, int top, int bottom)
{
    return top + static_cast<int>(std::trunc(AxisDBToYF(db, scale, top, bottom) - top));
}

double AxisDBToYF(double db, const TPlotScale &scale, int top, int bottom)
{
    // A scale without height (which UpdateYRange never makes) has only the
    // top edge.
    if (!(db < scale.PlotTopDB) || scale.PlotRangeDB <= 0)
        return top;
    if (db < scale.PlotBottomDB)
        db = scale.PlotBottomDB;
    return top + (scale.PlotTopDB - db) * (bottom - top) / scale.PlotRangeDB;
}

} // namespace cva
