#include "plot/PlotExport.h"

#include <algorithm>
#include <cmath>
#include <string>

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>

#include "document/TraceTable.h"
#include "io/AtomicFile.h"
#include "numerics/Error.h"
#include "plot/PlotLegend.h"
#include "plot/PlotPainter.h"

namespace cva {

namespace {

// Hands the bytes made in memory to the one writer of the program's files,
// so that pictures and tables are written as circuit files are. The desktop
// program exports into plain files only: a pipe would freeze its window
// until somebody reads it. Returns the message for the user, empty on
// success.
QString WriteExport(const QString &path, const QString &failure, const QByteArray &bytes)
{
    if (!failure.isEmpty())
        return QStringLiteral("Cannot create file \"%1\". %2").arg(path, failure);
    try {
        WriteFileAtomically(path.toStdString(), std::string_view(bytes.constData(), std::size_t(bytes.size())),
                            {.Special = TSpecialFiles::Refused});
    } catch (const CorvantaError &error) {
        return QString::fromStdString(error.what());
    }
    return {};
}

QString CheckSize(QSize pixels, int logicalWidth)
{
    if (pixels.width() <= 0 || pixels.height() <= 0 || logicalWidth <= 0)
        return QStringLiteral("The plot has no area (%1 x %2).").arg(pixels.width()).arg(pixels.height());
    return {};
}

// The view's size before scaling: as wide as on screen, and tall enough to
// cover the whole picture.
QSize LogicalSize(QSize pixels, int logicalWidth)
{
    const qreal scale = qreal(pixels.width()) / logicalWidth;
    return {logicalWidth, std::max(1, int(std::ceil(pixels.height() / scale)))};
}

} // namespace

QString PicturePng(QByteArray &bytes, QSize pixels, int logicalWidth, const TPlotRender &render, const QString &title)
{
    if (QString bad = CheckSize(pixels, logicalWidth); !bad.isEmpty())
        return bad;
    QImage image(pixels, QImage::Format_RGB32);
    if (image.isNull())
        return QStringLiteral("Not enough memory for the picture.");
    image.setDevicePixelRatio(qreal(pixels.width()) / logicalWidth);
    // A fraction of a logical pixel at the bottom is drawn past the edge
    // rather than left unpainted.
    image.fill(Qt::black);
    QPainter painter(&image);
    RenderTitled(painter, LogicalSize(pixels, logicalWidth), title, render);
    painter.end();
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        return QStringLiteral("The picture could not be encoded.");
    return {};
}

QString PictureSvg(QByteArray &bytes, QSize pixels, int logicalWidth, const TPlotRender &render, const QString &title)
{
    if (QString bad = CheckSize(pixels, logicalWidth); !bad.isEmpty())
        return bad;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(pixels);
    generator.setViewBox(QRectF(0, 0, logicalWidth, pixels.height() * qreal(logicalWidth) / pixels.width()));
    generator.setTitle(QStringLiteral("Corvanta"));
    QPainter painter;
    if (!painter.begin(&generator))
        return QStringLiteral("The picture could not be started.");
    RenderTitled(painter, LogicalSize(pixels, logicalWidth), title, render);
    painter.end();
    return {};
}

QString ExportPicturePng(const QString &path, QSize pixels, int logicalWidth, const TPlotRender &render,
                         const QString &title)
{
    QByteArray bytes;
    const QString failure = PicturePng(bytes, pixels, logicalWidth, render, title);
    return WriteExport(path, failure, bytes);
}

QString ExportPictureSvg(const QString &path, QSize pixels, int logicalWidth, const TPlotRender &render,
                         const QString &title)
{
    QByteArray bytes;
    const QString failure = PictureSvg(bytes, pixels, logicalWidth, render, title);
    return WriteExport(path, failure, bytes);
}

QString ExportPlotPng(const QString &path, QSize size, const TTraceStore &store, const TPlotScale &scale,
                      TColor liveColour, qreal devicePixelRatio, const QString &title)
{
    return ExportPicturePng(path, (QSizeF(size) * devicePixelRatio).toSize(), size.width(),
                            GainPlotRender(store, scale, liveColour), title);
}

QString ExportPlotSvg(const QString &path, QSize size, const TTraceStore &store, const TPlotScale &scale,
                      TColor liveColour, qreal pictureScale, const QString &title)
{
    return ExportPictureSvg(path, (QSizeF(size) * pictureScale).toSize(), size.width(),
                            GainPlotRender(store, scale, liveColour), title);
}

QString ExportTraceCsv(const QString &path, const TTraceStore &store)
{
    return WriteExport(path, {}, QByteArray::fromStdString(ShownCurvesTable(store, ',')));
}

QString ExportResponseMapCsv(const QString &path, const std::vector<TTrace> &curves)
{
    return WriteExport(path, {}, QByteArray::fromStdString(ResponseMapCsv(curves)));
}

} // namespace cva
