#include "plot/PlotExport.h"

#include <string>

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>

#include "document/AtomicFile.h"
#include "document/TraceTable.h"
#include "numerics/Error.h"
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

QString CheckSize(QSize size)
{
    if (size.width() <= 0 || size.height() <= 0)
        return QStringLiteral("The plot has no area (%1 x %2).").arg(size.width()).arg(size.height());
    return {};
}

} // namespace

QString PicturePng(QByteArray &bytes, QSize size, const TPlotRender &render, qreal devicePixelRatio,
                   const QString &title)
{
    if (QString bad = CheckSize(size); !bad.isEmpty())
        return bad;
    QImage image(size * devicePixelRatio, QImage::Format_RGB32);
    if (image.isNull())
        return QStringLiteral("Not enough memory for the picture.");
    image.setDevicePixelRatio(devicePixelRatio);
    QPainter painter(&image);
    RenderTitled(painter, size, title, render);
    painter.end();
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        return QStringLiteral("The picture could not be encoded.");
    return {};
}

QString PictureSvg(QByteArray &bytes, QSize size, const TPlotRender &render, qreal pictureScale,
                   const QString &title)
{
    if (QString bad = CheckSize(size); !bad.isEmpty())
        return bad;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize((QSizeF(size) * pictureScale).toSize());
    generator.setViewBox(QRect(QPoint(0, 0), size));
    generator.setTitle(QStringLiteral("Corvanta"));
    QPainter painter;
    if (!painter.begin(&generator))
        return QStringLiteral("The picture could not be started.");
    RenderTitled(painter, size, title, render);
    painter.end();
    return {};
}

QString ExportPicturePng(const QString &path, QSize size, const TPlotRender &render, qreal devicePixelRatio,
                         const QString &title)
{
    QByteArray bytes;
    const QString failure = PicturePng(bytes, size, render, devicePixelRatio, title);
    return WriteExport(path, failure, bytes);
}

QString ExportPictureSvg(const QString &path, QSize size, const TPlotRender &render, qreal pictureScale,
                         const QString &title)
{
    QByteArray bytes;
    const QString failure = PictureSvg(bytes, size, render, pictureScale, title);
    return WriteExport(path, failure, bytes);
}

QString ExportPlotPng(const QString &path, QSize size, const TTraceStore &store, const TPlotScale &scale,
                      TColor liveColour, qreal devicePixelRatio, const QString &title)
{
    return ExportPicturePng(path, size, GainPlotRender(store, scale, liveColour), devicePixelRatio, title);
}

QString ExportPlotSvg(const QString &path, QSize size, const TTraceStore &store, const TPlotScale &scale,
                      TColor liveColour, qreal pictureScale, const QString &title)
{
    return ExportPictureSvg(path, size, GainPlotRender(store, scale, liveColour), pictureScale, title);
}

QString ExportTraceCsv(const QString &path, const TTraceStore &store)
{
    return WriteExport(path, {}, QByteArray::fromStdString(TraceTableCsv(store)));
}

QString ExportResponseMapCsv(const QString &path, const std::vector<TTrace> &curves)
{
    return WriteExport(path, {}, QByteArray::fromStdString(ResponseMapCsv(curves)));
}

} // namespace cva
