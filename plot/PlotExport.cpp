#include "plot/PlotExport.h"

#include <functional>
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

// Renders into memory and hands the bytes to the one writer of the
// program's files, so that pictures and tables are written as circuit files
// are. Returns the message for the user, empty on success.
QString RenderAndWrite(const QString &path, const std::function<QString(QBuffer &)> &render)
{
    QByteArray bytes;
    QBuffer memory(&bytes);
    memory.open(QIODevice::WriteOnly);
    if (const QString failure = render(memory); !failure.isEmpty())
        return QStringLiteral("Cannot create file \"%1\". %2").arg(path, failure);
    memory.close();
    try {
        WriteFileAtomically(path.toStdString(), std::string_view(bytes.constData(), std::size_t(bytes.size())));
    } catch (const CorvantaError &error) {
        return QString::fromStdString(error.what());
    }
    return {};
}

QString WriteText(const QString &path, const std::string &text)
{
    return RenderAndWrite(path, [&](QBuffer &buffer) -> QString {
        buffer.write(text.data(), qint64(text.size()));
        return {};
    });
}

QString CheckSize(QSize size)
{
    if (size.width() <= 0 || size.height() <= 0)
        return QStringLiteral("The plot has no area (%1 x %2).").arg(size.width()).arg(size.height());
    return {};
}

} // namespace

QString ExportPicturePng(const QString &path, QSize size, const TPlotRender &render, qreal devicePixelRatio,
                         const QString &title)
{
    return RenderAndWrite(path, [&](QBuffer &buffer) -> QString {
        if (QString bad = CheckSize(size); !bad.isEmpty())
            return bad;
        QImage image(size * devicePixelRatio, QImage::Format_RGB32);
        if (image.isNull())
            return QStringLiteral("Not enough memory for the picture.");
        image.setDevicePixelRatio(devicePixelRatio);
        QPainter painter(&image);
        RenderTitled(painter, size, title, render);
        painter.end();
        if (!image.save(&buffer, "PNG"))
            return QStringLiteral("The picture could not be encoded.");
        return {};
    });
}

QString ExportPictureSvg(const QString &path, QSize size, const TPlotRender &render, qreal pictureScale,
                         const QString &title)
{
    return RenderAndWrite(path, [&](QBuffer &buffer) -> QString {
        if (QString bad = CheckSize(size); !bad.isEmpty())
            return bad;
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
    });
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
    return WriteText(path, TraceTableCsv(store));
}

QString ExportResponseMapCsv(const QString &path, const std::vector<TTrace> &curves)
{
    return WriteText(path, ResponseMapCsv(curves));
}

} // namespace cva
