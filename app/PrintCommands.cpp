// The main window's printing and export commands.

#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPrinter>

#include "app/LocaleSeparator.h"
#include "app/MainWindow.h"
#include "plot/ControlSummary.h"
#include "plot/PlotExport.h"
#include "plot/Plotter.h"
#include "plot/Printout.h"

namespace cva {

namespace {
const QString PngFilter = QStringLiteral("PNG picture (*.png)");
const QString SvgFilter = QStringLiteral("SVG drawing (*.svg)");
const QString CsvFilter = QStringLiteral("Traces as CSV table (*.csv)");
} // namespace

QPrinter &TfrmMain::Printer()
{
    // Made on first use: asking the system for printers can take a moment.
    if (!FPrinter)
        FPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *FPrinter;
}

void TfrmMain::actFilePrintExecute()
{
    if (!ExecPrintDialog(Printer(), this))
        return;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    Guarded([this] { PrintPlot(Printer(), FStore, FCircuit.Symbols, FCircuit.ActiveInfo(), LocaleDecimalSeparator(),
                  ControlLines(FCircuit)); });
    QGuiApplication::restoreOverrideCursor();
}

void TfrmMain::actFilePrintSetupExecute()
{
    ExecPageSetupDialog(Printer(), this);
}

void TfrmMain::actFilePrintPreviewExecute()
{
    ExecPrintPreview(Printer(), this, [this](QPrinter &printer) {
        Guarded([&] { PrintPlot(printer, FStore, FCircuit.Symbols, FCircuit.ActiveInfo(), LocaleDecimalSeparator(),
                      ControlLines(FCircuit)); });
    });
}

QString TfrmMain::ChooseExportFile(QString &selectedFilter)
{
    QFileDialog dialog(this, "Export", QString(), QStringList{PngFilter, SvgFilter, CsvFilter}.join(";;"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix("png");
    connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString &filter) {
        dialog.setDefaultSuffix(filter == SvgFilter ? "svg" : filter == CsvFilter ? "csv" : "png");
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    selectedFilter = dialog.selectedNameFilter();
    return dialog.selectedFiles().constFirst();
}

void TfrmMain::actFileExportExecute()
{
    QString filter;
    const QString path = ChooseExportFile(filter);
    if (path.isEmpty())
        return;
    // A typed extension decides the format; otherwise the chosen filter does.
    const QString suffix = QFileInfo(path).suffix().toLower();
    const bool svg = suffix == "svg" || (suffix != "png" && suffix != "csv" && filter == SvgFilter);
    const bool csv = suffix == "csv" || (suffix != "png" && suffix != "svg" && filter == CsvFilter);
    QString failure;
    if (csv)
        failure = ExportTraceCsv(path, FStore);
    else if (svg)
        failure = ExportPlotSvg(path, FPlotter->size(), FStore, FScale, FPlotter->TraceColour());
    else
        failure = ExportPlotPng(path, FPlotter->size(), FStore, FScale, FPlotter->TraceColour(),
                                FPlotter->devicePixelRatioF());
    if (!failure.isEmpty())
        ShowError(failure);
}

} // namespace cva
