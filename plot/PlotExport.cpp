#include "plot/PlotExport.h"

#include <functional>
#include <string>

#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <QSvgGenerator>

#include "document/TraceTable.h"
#include "plot/PlotPainter.h"

namespace cva {

namespace {

QString CreateError(const QString &path, const QString &reason)
{
    return QStringLiteral("Cannot create file \"%1\". %2").arg(path, reason);
}

// Runs write on a temporary file beside path and renames it into place when
// write succeeds; otherwise the temporary file is removed.
QString WriteSafely(const QString &path, const std::function<QString(QSaveFile &)> &write)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return CreateError(path, file.errorString());
    const QString failure = write(file);
    if (!failure.isEmpty()) {
        file.cancelWriting();
        return CreateError(path, failure);
    }
    if (!file.commit())
        return CreateError(path, file.errorString());
    return {};
}

QString CheckSize(QSize size)
{
    if (size.width() <= 0 || size.height() <= 0)
        return QStringLiteral("The plot has no area (%1 x %2).").arg(size.width()).arg(size.height());
    return {};
}

} // namespace

QString ExportPlotPng(const QString &path, QSize size, const TTraceStore &store, const TPlotScale &scale,
                      TColor liveColour, qreal devicePixelRatio)
{
    return WriteSafely(path, [&](QSaveFile &file) -> QString {
        if (QString bad = CheckSize(size); !bad.isEmpty())
            return bad;
        QImage image(size * devicePixelRatio, QImage::Format_RGB32);
        if (image.isNull())
            return QStringLiteral("Not enough memory for the picture.");
        image.setDevicePixelRatio(devicePixelRatio);
        TPlotScale drawn = scale;
        QPainter painter(&image);
        RenderPlot(painter, size, store, drawn, liveColour);
        painter.end();
        if (!image.save(&file, "PNG"))
            return file.errorString().isEmpty() ? QStringLiteral("The picture could not be written.")
                                                : file.errorString();
        return {};
    });
}

QString ExportPlotSvg(const QString &path, QSize size, const TTraceStore &store, const TPlotScale &scale,
                      TColor liveColour)
{
    return WriteSafely(path, [&](QSaveFile &file) -> QString {
        if (QString bad = CheckSize(size); !bad.isEmpty())
            return bad;
        QSvgGenerator generator;
        generator.setOutputDevice(&file);
        generator.setSize(size);
        generator.setViewBox(QRect(QPoint(0, 0), size));
        generator.setTitle(QStringLiteral("Corvanta"));
        TPlotScale drawn = scale;
        QPainter painter;
        if (!painter.begin(&generator))
            return QStringLiteral("The picture could not be started.");
        RenderPlot(painter, size, store, drawn, liveColour);
        painter.end();
        if (file.error() != QFileDevice::NoError)
            return file.errorString();
        return {};
    });
}

QString ExportTraceCsv(const QString &path, const TTraceStore &store)
{
    return WriteSafely(path, [&](QSaveFile &file) -> QString {
        const std::string text = TraceTableCsv(store);
        if (file.write(text.data(), qint64(text.size())) != qint64(text.size()))
            return file.errorString();
        return {};
    });
}

} // namespace cva
