#pragma once

// The entry point of the plot module that corvanta-cli loads at run time.

#include <cstddef>

#define CORVANTA_PLOT_MODULE_FILE "corvanta-cli-plot.so"
#define CORVANTA_PLOT_MODULE_ENTRY "CorvantaWritePlotPictures"

// Draws the plot of a curve of 'points' gains into a PNG and/or an SVG file
// (a null path is skipped). Returns 0, or 1 with the reason in 'error'.
extern "C" __attribute__((visibility("default"))) int CorvantaWritePlotPictures(const char *pngPath,
                                                                             const char *svgPath,
                                                                             const double *gain, int points,
                                                                             char *error, std::size_t errorSize);

using TWritePlotPictures = decltype(&CorvantaWritePlotPictures);
