#pragma once

// The plot of the computed curve as PNG and SVG pictures, drawn as the
// desktop program draws its plot at the size of its first layout.

#include <optional>
#include <string>

#include "models/Calc.h"

namespace cva::cli {

#ifdef CORVANTA_CLI_PLOT
inline bool PlotPicturesAvailable()
{
    return true;
}

// Writes the pictures asked for; throws CorvantaError with the reason when
// one cannot be written. Needs no display.
void WritePlotPictures(const std::optional<std::string> &pngPath, const std::optional<std::string> &svgPath,
                       const TTrace &live);
#else
// Built without Qt: there is no plot to draw.
inline bool PlotPicturesAvailable()
{
    return false;
}

inline void WritePlotPictures(const std::optional<std::string> &, const std::optional<std::string> &,
                              const TTrace &)
{
}
#endif

} // namespace cva::cli
