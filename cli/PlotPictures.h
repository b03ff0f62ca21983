#pragma once

// The plot of the computed curve as PNG and SVG pictures, drawn as the
// desktop program draws its plot at the size of its first layout.

#include <string>

#include "models/Calc.h"

namespace cva::cli {

struct TPlotPictures {
    std::string Png, Svg; // empty when not asked for
};

#ifdef CORVANTA_CLI_PLOT
inline bool PlotPicturesAvailable()
{
    return true;
}

// Draws the pictures asked for in memory, width x height pixels; throws
// CorvantaError with the reason when one cannot be drawn. Needs no display.
TPlotPictures DrawPlotPictures(bool png, bool svg, int width, int height, const TTrace &live);
#else
// Built without Qt: there is no plot to draw.
inline bool PlotPicturesAvailable()
{
    return false;
}

inline TPlotPictures DrawPlotPictures(bool, bool, int, int, const TTrace &)
{
    return {};
}
#endif

} // namespace cva::cli
