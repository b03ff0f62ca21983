#include "plot/PlotGeometry.h"

#include <cmath>

namespace cva {

namespace {

double DecadesToXF(double frequency, TSpan decades, int left, int right)
{
    return left + (right - left) * (std::log10(frequency) - decades.Low) / decades.Size();
}

} // namespace

bool TPlotGeometry::InFrame(int x, int y) const
{
    return x >= FrameLeft && x <= FrameRight() && y >= FrameTop && y <= FrameBottom();
}

int TPlotGeometry::FreqToX(double frequency) const
{
    return FrameLeft + static_cast<int>(std::trunc(FreqToXF(frequency) - FrameLeft));
}

double TPlotGeometry::FreqToXF(double frequency) const
{
    return DecadesToXF(frequency, Decades, FrameLeft, FrameRight());
}

double TPlotGeometry::XToFreq(int x) const
{
    // A frame without width shows nothing but the axis start.
    const int span = FrameRight() - FrameLeft;
    if (span <= 0)
        return std::pow(10.0, Decades.Low);
    return std::pow(10.0, Decades.At(XFraction(x)));
}

double TPlotGeometry::XFraction(int x) const
{
    const int span = FrameRight() - FrameLeft;
    return span > 0 ? double(x - FrameLeft) / span : 0;
}

double TPlotGeometry::YFraction(int y) const
{
    const int span = FrameBottom() - FrameTop;
    return span > 0 ? double(FrameBottom() - y) / span : 0;
}

int TPlotGeometry::DBToY(double db, const TPlotScale &scale) const
{
    return AxisDBToY(db, scale, FrameTop, FrameBottom());
}

double TPlotGeometry::DBToYF(double db, const TPlotScale &scale) const
{
    return AxisDBToYF(db, scale, FrameTop, FrameBottom());
}

TViewLimits GridViewLimits(double leastY)
{
    return {GridDecades, 0.05, leastY};
}

TPlotGeometry Windowed(TPlotGeometry geometry, const TViewWindow &window)
{
    geometry.Decades = window.X();
    return geometry;
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
    return DecadesToXF(frequency, GridDecades, left, right);
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
