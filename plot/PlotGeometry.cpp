#include "plot/PlotGeometry.h"

#include <cmath>

namespace cva {

namespace {

// The axis runs from 10 Hz (10^1) to 10^4.46875 Hz, the last grid step.
constexpr double AxisDecades = 4.46875 - 1;

int XSpan(const TPlotGeometry &geometry)
{
    return geometry.W - TPlotGeometry::FrameLeft - TPlotGeometry::RightMargin;
}

int YSpan(const TPlotGeometry &geometry)
{
    return geometry.H - TPlotGeometry::FrameTop - TPlotGeometry::BottomMargin;
}

} // namespace

bool TPlotGeometry::InFrame(int x, int y) const
{
    return x >= FrameLeft && x <= FrameRight() && y >= FrameTop && y <= FrameBottom();
}

int TPlotGeometry::FreqToX(double frequency) const
{
    return FrameLeft + static_cast<int>(std::trunc(XSpan(*this) * (std::log10(frequency) - 1) / AxisDecades));
}

double TPlotGeometry::XToFreq(int x) const
{
    // A frame without width shows nothing but the axis start.
    if (XSpan(*this) <= 0)
        return 10;
    return std::pow(10.0, 1 + (x - FrameLeft) * AxisDecades / XSpan(*this));
}

int TPlotGeometry::DBToY(double db, const TPlotScale &scale) const
{
    // Written so that NaN, like +inf, lands on the top edge instead of
    // reaching the conversion to int; a scale without height (which
    // UpdateYRange never makes) has only the top edge.
    if (!(db < scale.PlotTopDB) || scale.PlotRangeDB <= 0)
        return FrameTop;
    if (db < scale.PlotBottomDB)
        db = scale.PlotBottomDB;
    return FrameTop + static_cast<int>(std::trunc((scale.PlotTopDB - db) * YSpan(*this) / scale.PlotRangeDB));
}

TGridX BuildGridX(const TPlotGeometry &geometry)
{
    TGridX gridX;
    for (int s = GridFirstStep; s <= GridLastStep; ++s)
        gridX[s - GridFirstStep] = geometry.FreqToX(GridFrequency(s));
    return gridX;
}

} // namespace cva
