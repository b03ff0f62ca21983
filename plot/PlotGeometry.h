#pragma once

// Where frequencies and gains land on a plot of W x H pixels. The frame
// leaves 40 pixels on the left for the dB labels, 24 at the bottom for the
// frequency labels and 8 at the top and right; a larger label font widens
// these margins (PlotPainter's PlotGeometry).

#include <array>

#include "models/Calc.h"
#include "plot/PlotScale.h"
#include "plot/ViewWindow.h"

namespace cva {

// x pixel of each grid step, index k = s - GridFirstStep.
using TGridX = std::array<int, GridPoints>;

// The frequency axis of the grid in decades of hertz, 10 Hz to the last
// grid step: the span across of every view's start.
constexpr TSpan GridDecades{1, 4.46875};

// The limits of a view across the grid: it zooms in to a twentieth of a
// decade across (still a few grid points) and to leastY up.
TViewLimits GridViewLimits(double leastY);

struct TPlotGeometry {
    int W = 0;
    int H = 0;
    int FrameLeft = 40;
    int FrameTop = 8;
    int RightMargin = 8;
    int BottomMargin = 24;
    // The frequencies at the frame's left and right edges, in decades of
    // hertz: the whole grid unless the view is zoomed.
    TSpan Decades = GridDecades;

    int FrameRight() const { return W - RightMargin; }
    int FrameBottom() const { return H - BottomMargin; }
    bool InFrame(int x, int y) const;

    // Frequency in Hz (positive) to x; not clamped, so frequencies past the
    // axis end fall right of the frame.
    int FreqToX(double frequency) const;
    double FreqToXF(double frequency) const;
    // The continuous inverse of FreqToX: the frequency at the left edge of
    // pixel column x.
    double XToFreq(int x) const;
    // Gain to y, clamped to the scale so that off-scale points lie on the
    // frame's top or bottom edge.
    int DBToY(double db, const TPlotScale &scale) const;
    double DBToYF(double db, const TPlotScale &scale) const;
    // A position in the frame as a fraction of its width (from the left) and
    // of its height (from the bottom), as a view's window takes it.
    double XFraction(int x) const;
    double YFraction(int y) const;
};

// The geometry with the window's frequencies across.
TPlotGeometry Windowed(TPlotGeometry geometry, const TViewWindow &window);

TGridX BuildGridX(const TPlotGeometry &geometry);

// The axis laws of every plot, on screen or on paper, for a frame from left
// to right and top to bottom. 10 Hz lies at left and the last grid frequency
// at right (the whole grid, as on paper); frequencies are not clamped.
int AxisFreqToX(double frequency, int left, int right);
// Clamped to the scale, so off-scale gains lie on the top or bottom edge;
// NaN and +inf land on the top edge instead of reaching the int conversion.
int AxisDBToY(double db, const TPlotScale &scale, int top, int bottom);
// The same laws between pixels, for curves drawn finer than one pixel.
double AxisFreqToXF(double frequency, int left, int right);
double AxisDBToYF(double db, const TPlotScale &scale, int top, int bottom);

} // namespace cva
