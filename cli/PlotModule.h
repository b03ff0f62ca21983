#pragma once

// The entry point of the plot module that corvanta-cli loads at run time.

#include <cstddef>

#define CORVANTA_PLOT_MODULE_FILE "corvanta-cli-plot.so"
#define CORVANTA_PLOT_MODULE_ENTRY "CorvantaDrawPlotPictures"

enum TCorvantaPicture { CorvantaPng = 0, CorvantaSvg = 1 };

// Receives one finished picture; the bytes are the module's until it returns.
using TCorvantaPictureSink = void (*)(void *context, int picture, const char *bytes, std::size_t size);

// Draws the plot of a curve of 'points' gains as each picture asked for, of
// width x height pixels, and hands it to 'sink'; writing the files is the
// tool's, which writes all its outputs together. Returns 0, or 1 with the
// reason in 'error'.
extern "C" __attribute__((visibility("default"))) int CorvantaDrawPlotPictures(const double *gain, int points,
                                                                            int png, int svg, int width,
                                                                            int height,
                                                                            TCorvantaPictureSink sink,
                                                                            void *context, char *error,
                                                                            std::size_t errorSize);

using TDrawPlotPictures = decltype(&CorvantaDrawPlotPictures);
