// The main window's printing and export commands.

#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPrinter>

#include "app/ExportSizeDialog.h"
#include "app/LocaleSeparator.h"
#include "app/MainWindow.h"
#include "plot/ControlSummary.h"
#include "plot/PlotExport.h"
#include "plot/Plotter.h"
#include "plot/Printout.h"
#include "plot/ResponseMapView.h"

namespace cva {

QPrinter &TfrmMain::Printer()
{
    // Made on first use: asking the system for printers can take a moment.
    if (!FPrinter)
        FPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *FPrinter;
}

void TfrmMain::actFilePrintExecute()
{
    if (FPlotView != TPlotView::ResponseMap && RefusedWithoutLiveCurve(QStringLiteral("Nothing was printed")))
        return;
    if (!ExecPrintDialog(Printer(), this))
        return;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    Guarded([this] { PrintShownView(Printer()); });
    QGuiApplication::restoreOverrideCursor();
}

void TfrmMain::actFilePrintSetupExecute()
{
    ExecPageSetupDialog(Printer(), this);
}

void TfrmMain::actFilePrintPreviewExecute()
{
    if (FPlotView != TPlotView::ResponseMap && RefusedWithoutLiveCurve(QStringLiteral("Nothing can be printed")))
        return;
    ExecPrintPreview(Printer(), this, [this](QPrinter &printer) {
        Guarded([&] { PrintShownView(printer); });
    });
}

void TfrmMain::PrintShownView(QPrinter &printer)
{
    // The gain plot has its own page in black; the other views, and the
    // gain plot with its tolerance band, print as they are shown.
    if (FPlotView == TPlotView::Gain && !FPlotter->Extras().Band)
        PrintPlot(printer, FDoc->Store(), FDoc->Circuit().ActiveValues(), FDoc->Circuit().ActiveInfo(), LocaleDecimalSeparator(),
                  ControlLines(FDoc->Circuit()));
    else
        PrintPicture(
            printer, [this](QPainter &painter, QSize size) { RenderShownView(painter, size); }, FDoc->Circuit().ActiveValues(),
            FDoc->Circuit().ActiveInfo(), LocaleDecimalSeparator(), ControlLines(FDoc->Circuit()));
}

void TfrmMain::actFileExportExecute()
{
    if (FPlotView != TPlotView::ResponseMap && RefusedWithoutLiveCurve(QStringLiteral("Nothing was exported")))
        return;
    QString filter;
    const QString path = FDialogs->ChooseExportFile(filter);
    if (path.isEmpty())
        return;
    // A typed extension decides the format; otherwise the chosen filter does.
    const QString suffix = QFileInfo(path).suffix().toLower();
    const bool svg = suffix == "svg" || (suffix != "png" && suffix != "csv" && filter == SvgFilter);
    const bool csv = suffix == "csv" || (suffix != "png" && suffix != "svg" && filter == CsvFilter);
    // Pictures and tables are of the view shown.
    if (csv) {
        QString failure;
        if (FPlotView != TPlotView::ResponseMap)
            failure = ExportTraceCsv(path, ShownTraces());
        else if (FMapView->Map().Curves.empty())
            failure = FMapView->Map().Message;
        else
            failure = ExportResponseMapCsv(path, FMapView->Map().Curves);
        if (!failure.isEmpty())
            FDialogs->ShowError(failure);
        return;
    }
    QWidget *view = ShownView();
    const QSize onScreen = (QSizeF(view->size()) * view->devicePixelRatioF()).toSize();
    const std::optional<QSize> chosen = FDialogs->ChooseExportSize(onScreen);
    if (!chosen)
        return;
    // The picture is the view as on screen, enlarged as a whole to exactly
    // the chosen size.
    const QString title = PlotTitle(FDoc->Circuit());
    const TPlotRender render = [this](QPainter &painter, QSize size) { RenderShownView(painter, size); };
    const QString failure = svg ? ExportPictureSvg(path, *chosen, view->width(), render, title)
                                : ExportPicturePng(path, *chosen, view->width(), render, title);
    if (!failure.isEmpty())
        FDialogs->ShowError(failure);
}

} // namespace cva
