// The plot pictures of corvanta-cli, in a module of their own: the tool
// loads it, and with it Qt, only when a picture is asked for, so that
// computing a curve starts as fast as a plain program.

#include "cli/PlotModule.h"

#include <cstdio>
#include <string>
#include <utility>

#include <QGuiApplication>
#include <QByteArray>
#include <QSize>
#include <QString>

#include "numerics/Error.h"
#include "plot/PlotColours.h"
#include "plot/PlotExport.h"
#include "plot/PlotPainter.h"
#include "plot/PlotScale.h"

namespace {

using namespace cva;

// The plot's width in the main window's first layout: pictures of other
// sizes are this view scaled, as the desktop program exports them.
constexpr int ViewWidth = 407;

// Qt's own chatter (a missing runtime directory and the like) is not the
// tool's to report: its standard error carries only its own messages.
void QuietMessages(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        fprintf(stderr, "%s\n", qPrintable(message));
}

void DrawPictures(const TTrace &live, bool png, bool svg, QSize pixels, TCorvantaPictureSink sink, void *context)
{
    // Text needs the fonts of a GUI application, but never a display: a
    // platform chosen for other programs must not make the tool abort.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(QuietMessages);
    // Only the program name: the tool's own options are not Qt's to read.
    int argc = 1;
    char name[] = "corvanta-cli";
    char *argv[] = {name, nullptr};
    QGuiApplication application(argc, argv);

    TTraceStore store;
    store.Traces[0] = live;
    store.TraceColours[0] = clLime;
    const TPlotRender render = GainPlotRender(store, TPlotScale{}, clLime);
    for (const auto &[wanted, picture] : {std::pair{png, CorvantaPng}, std::pair{svg, CorvantaSvg}}) {
        if (!wanted)
            continue;
        QByteArray bytes;
        const QString failure = picture == CorvantaPng ? PicturePng(bytes, pixels, ViewWidth, render)
                                                       : PictureSvg(bytes, pixels, ViewWidth, render);
        if (!failure.isEmpty())
            throw CorvantaError(failure.toStdString());
        sink(context, picture, bytes.constData(), std::size_t(bytes.size()));
    }
}

} // namespace

extern "C" int CorvantaDrawPlotPictures(const double *gain, int points, int png, int svg, int width, int height,
                                        TCorvantaPictureSink sink, void *context, char *error, std::size_t errorSize)
{
    try {
        if (points != GridPoints)
            throw CorvantaError("the curve does not have " + std::to_string(GridPoints) + " points");
        TTrace live{};
        std::copy(gain, gain + points, live.begin());
        DrawPictures(live, png != 0, svg != 0, QSize(width, height), sink, context);
        return 0;
    } catch (const std::exception &e) {
        std::snprintf(error, errorSize, "%s", e.what());
        return 1;
    }
}
