#pragma once

// Saving the plot: as a PNG or SVG picture drawn exactly as on screen, and
// every trace in use as a CSV table. Each is made in memory and written by
// WriteFileAtomically, the writer of circuit files, with its behaviour for
// existing files, links and failures; a pipe or a device is refused, as the
// desktop program would wait on it. Each returns an empty text on success
// and the message for the user on failure.

#include <vector>

#include <QByteArray>
#include <QSize>
#include <QString>

#include "models/Calc.h"
#include "plot/PlotPainter.h"
#include "plot/PlotScale.h"

namespace cva {

// A picture of any of the plot's views, exactly `pixels` in size: the view
// is drawn `logicalWidth` pixels wide, as on screen, and the whole is scaled
// to the picture, so that lines and labels keep the proportions they have
// on screen. A title, when given, stands in a line above the view. Drawn
// into memory for a caller that writes it itself (the command-line tool
// writes all its outputs together); returns the reason of a failure, empty
// on success.
QString PicturePng(QByteArray &bytes, QSize pixels, int logicalWidth, const TPlotRender &render,
                   const QString &title = {});
QString PictureSvg(QByteArray &bytes, QSize pixels, int logicalWidth, const TPlotRender &render,
                   const QString &title = {});

// The same pictures written to a file.
QString ExportPicturePng(const QString &path, QSize pixels, int logicalWidth, const TPlotRender &render,
                         const QString &title = {});
QString ExportPictureSvg(const QString &path, QSize pixels, int logicalWidth, const TPlotRender &render,
                         const QString &title = {});

// size is the plot's logical size; the picture has size x scale pixels,
// drawn as the screen draws at that device pixel ratio, so a bigger picture
// keeps the proportions of lines and labels. A title, when given, stands
// in a line above the plot.
QString ExportPlotPng(const QString &path, QSize size, const TTraceStore &store, const TPlotScale &scale,
                      TColor liveColour, qreal devicePixelRatio = 1, const QString &title = {});
QString ExportPlotSvg(const QString &path, QSize size, const TTraceStore &store, const TPlotScale &scale,
                      TColor liveColour, qreal pictureScale = 1, const QString &title = {});
// The shown curves, each column named by its legend label.
QString ExportTraceCsv(const QString &path, const TTraceStore &store);
// The response map as "position,frequency_hz,gain_db" rows.
QString ExportResponseMapCsv(const QString &path, const std::vector<TTrace> &curves);

} // namespace cva
