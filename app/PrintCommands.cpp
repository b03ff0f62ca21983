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
    if (csv) {
        if (const QString failure = ExportTraceCsv(path, FStore); !failure.isEmpty())
            ShowError(failure);
        return;
    }
    const QSize onScreen = (QSizeF(FPlotter->size()) * FPlotter->devicePixelRatioF()).toSize();
    const std::optional<QSize> chosen = ChooseExportSize(onScreen);
    if (!chosen)
        return;
    // The picture is the plot as on screen, enlarged as a whole: drawn at
    // the plot's width on screen and scaled up to the chosen width, so that
    // lines and labels keep their proportions.
    const qreal scale = qreal(chosen->width()) / FPlotter->width();
    const QSize drawn(FPlotter->width(), std::max(1, qRound(chosen->height() / scale)));
    const QString title = PlotTitle(FCircuit);
    const QString failure =
        svg ? ExportPlotSvg(path, drawn, FStore, FScale, FPlotter->TraceColour(), scale, title)
            : ExportPlotPng(path, drawn, FStore, FScale, FPlotter->TraceColour(), scale, title);
    if (!failure.isEmpty())
        ShowError(failure);
}

std::optional<QSize> TfrmMain::ChooseExportSize(QSize onScreen)
{
    TExportSizeDialog dialog(onScreen, this);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.ChosenSize();
}

} // namespace cva
