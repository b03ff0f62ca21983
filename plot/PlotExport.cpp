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

void Render(QPainter &painter, QSize size, const QString &title, const TTraceStore &store, TPlotScale &scale,
            TColor liveColour)
{
    if (title.isEmpty())
        RenderPlot(painter, size, store, scale, liveColour);
    else
        RenderTitledPlot(painter, size, title, store, scale, liveColour);
}

QString CheckSize(QSize size)
{
    if (size.width() <= 0 || size.height() <= 0)
        return QStringLiteral("The plot has no area (%1 x %2).").arg(size.width()).arg(size.height());
    return {};
}

} // namespace

QString ExportPlotPng(const QString &path, QSize size, const TTraceStore &store, const TPlotScale &scale,
                      TColor liveColour, qreal devicePixelRatio, const QString &title)
{
    return RenderAndWrite(path, [&](QBuffer &buffer) -> QString {
        if (QString bad = CheckSize(size); !bad.isEmpty())
            return bad;
        QImage image(size * devicePixelRatio, QImage::Format_RGB32);
        if (image.isNull())
            return QStringLiteral("Not enough memory for the picture.");
        image.setDevicePixelRatio(devicePixelRatio);
        TPlotScale drawn = scale;
        QPainter painter(&image);
        Render(painter, size, title, store, drawn, liveColour);
        painter.end();
        if (!image.save(&buffer, "PNG"))
            return QStringLiteral("The picture could not be encoded.");
        return {};
    });
}

QString ExportPlotSvg(const QString &path, QSize size, const TTraceStore &store, const TPlotScale &scale,
                      TColor liveColour, qreal pictureScale, const QString &title)
{
    return RenderAndWrite(path, [&](QBuffer &buffer) -> QString {
        if (QString bad = CheckSize(size); !bad.isEmpty())
            return bad;
        QSvgGenerator generator;
        generator.setOutputDevice(&buffer);
        generator.setSize((QSizeF(size) * pictureScale).toSize());
        generator.setViewBox(QRect(QPoint(0, 0), size));
        generator.setTitle(QStringLiteral("Corvanta"));
        TPlotScale drawn = scale;
        QPainter painter;
        if (!painter.begin(&generator))
            return QStringLiteral("The picture could not be started.");
        Render(painter, size, title, store, drawn, liveColour);
        painter.end();
        return {};
    });
}

QString ExportTraceCsv(const QString &path, const TTraceStore &store)
{
    return RenderAndWrite(path, [&](QBuffer &buffer) -> QString {
        const std::string text = TraceTableCsv(store);
        buffer.write(text.data(), qint64(text.size()));
        return {};
    });
}

} // namespace cva
