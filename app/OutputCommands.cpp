#include "app/OutputCommands.h"

#include <algorithm>

#include <QAction>
#include <QClipboard>
#include <QImage>
#include <QMenu>
#include <QPainter>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPrinter>

#include "app/ExportSizeDialog.h"
#include "app/LocaleSeparator.h"
#include "app/MainWindow.h"
#include "app/PlotViews.h"
#include "app/TraceCommands.h"
#include "document/TraceTable.h"
#include "plot/ControlSummary.h"
#include "plot/PlotExport.h"
#include "plot/PlotLegend.h"
#include "plot/Plotter.h"
#include "plot/Printout.h"
#include "plot/QuantityView.h"
#include "plot/ResponseMapView.h"

namespace cva {

TOutputCommands::TOutputCommands(TfrmMain &window, TPlotViews &views)
    : QObject(&window), FWindow(window), FDoc(window.Doc()), FViews(views)
{
}

TOutputCommands::~TOutputCommands() = default;

void TOutputCommands::CreatePrintActions(QMenu *file)
{
    connect(FWindow.AddAction(file, "actFilePrint", "&Print", "Prints the current plot", QKeySequence("Ctrl+P")),
            &QAction::triggered, this, &TOutputCommands::Print);
    connect(FWindow.AddAction(file, "actFilePrintPreview", "Print pre&view...", "Shows the printed page before printing"),
            &QAction::triggered, this, &TOutputCommands::PrintPreview);
    connect(FWindow.AddAction(file, "actFilePrintSetup", "Print set&up...", "Sets the printer up"), &QAction::triggered,
            this, &TOutputCommands::PrintSetup);
}

void TOutputCommands::CreateCopyActions(QMenu *edit)
{
    connect(FWindow.AddAction(edit, "actEditCopyPlot", "Copy &plot", "Copies the view shown as a picture"),
            &QAction::triggered, this, &TOutputCommands::CopyPlot);
    connect(FWindow.AddAction(edit, "actEditCopyData", "Copy &data",
                              "Copies the curves shown as a table, one column per curve named as in the legend"),
            &QAction::triggered, this, &TOutputCommands::CopyData);
}

bool TOutputCommands::Refused(const QString &refusal)
{
    return FViews.ShowsLiveCurve() && RefusedWithoutLiveCurve(FDoc, FWindow.Dialogs(), refusal);
}

QPrinter &TOutputCommands::Printer()
{
    // Made on first use: asking the system for printers can take a moment.
    if (!FPrinter)
        FPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *FPrinter;
}

void TOutputCommands::Print()
{
    if (Refused(QStringLiteral("Nothing was printed")))
        return;
    if (!ExecPrintDialog(Printer(), &FWindow))
        return;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    FWindow.Guarded([this] { PrintShownView(Printer()); });
    QGuiApplication::restoreOverrideCursor();
}

void TOutputCommands::PrintSetup()
{
    ExecPageSetupDialog(Printer(), &FWindow);
}

void TOutputCommands::PrintPreview()
{
    if (Refused(QStringLiteral("Nothing can be printed")))
        return;
    ExecPrintPreview(Printer(), &FWindow, [this](QPrinter &printer) {
        FWindow.Guarded([&] { PrintShownView(printer); });
    });
}

void TOutputCommands::PrintShownView(QPrinter &printer)
{
    // Gain, phase, group delay and impedance have their page in black; the
    // response map, and the gain plot with its tolerance band, print as they
    // are shown.
    const TCircuit &circuit = FDoc.Circuit();
    if (FViews.PlotView() == TPlotView::Gain && !FViews.Plotter()->Extras().Band)
        PrintPlot(printer, FDoc.Store(), circuit.ActiveValues(), circuit.ActiveInfo(), LocaleDecimalSeparator(),
                  ControlLines(circuit));
    else if (FViews.ShownView() == FViews.QuantityView())
        PrintQuantity(printer, FDoc.Store(), FViews.QuantityView()->Quantity(), FViews.Scale().AutoYScale,
                      circuit.ActiveValues(), circuit.ActiveInfo(), LocaleDecimalSeparator(), ControlLines(circuit));
    else
        PrintPicture(
            printer, [this](QPainter &painter, QSize size) { FViews.RenderShownView(painter, size); }, circuit.ActiveValues(),
            circuit.ActiveInfo(), LocaleDecimalSeparator(), ControlLines(circuit));
}

void TOutputCommands::Export()
{
    if (Refused(QStringLiteral("Nothing was exported")))
        return;
    QString filter;
    const QString path = FWindow.Dialogs().ChooseExportFile(filter);
    if (path.isEmpty())
        return;
    // A typed extension decides the format; otherwise the chosen filter does.
    const QString suffix = QFileInfo(path).suffix().toLower();
    const bool svg = suffix == "svg" || (suffix != "png" && suffix != "csv" && filter == SvgFilter);
    const bool csv = suffix == "csv" || (suffix != "png" && suffix != "svg" && filter == CsvFilter);
    // Pictures and tables are of the view shown.
    if (csv) {
        QString failure;
        if (FViews.ShowsLiveCurve())
            failure = ExportTraceCsv(path, FViews.ShownTraces());
        else if (FViews.ResponseMapView()->Map().Curves.empty())
            failure = FViews.ResponseMapView()->Map().Message;
        else
            failure = ExportResponseMapCsv(path, FViews.ResponseMapView()->Map().Curves);
        if (!failure.isEmpty())
            FWindow.Dialogs().ShowError(failure);
        return;
    }
    QWidget *view = FViews.ShownView();
    const QSize onScreen = (QSizeF(view->size()) * view->devicePixelRatioF()).toSize();
    const std::optional<QSize> chosen = FWindow.Dialogs().ChooseExportSize(onScreen);
    if (!chosen)
        return;
    // The picture is the view as on screen, enlarged as a whole to exactly
    // the chosen size.
    const QString title = PlotTitle(FDoc.Circuit());
    const TPlotRender render = [this](QPainter &painter, QSize size) { FViews.RenderShownView(painter, size); };
    const QString failure = svg ? ExportPictureSvg(path, *chosen, view->width(), render, title)
                                : ExportPicturePng(path, *chosen, view->width(), render, title);
    if (!failure.isEmpty())
        FWindow.Dialogs().ShowError(failure);
}

void TOutputCommands::CopyPlot()
{
    if (Refused(QStringLiteral("Nothing was copied")))
        return;
    // At the screen's density, as the view is shown.
    QWidget *view = FViews.ShownView();
    const qreal ratio = view->devicePixelRatioF();
    QImage picture(view->size() * ratio, QImage::Format_RGB32);
    picture.setDevicePixelRatio(ratio);
    QPainter painter(&picture);
    FViews.RenderShownView(painter, view->size());
    painter.end();
    QGuiApplication::clipboard()->setImage(picture);
}

void TOutputCommands::CopyData()
{
    if (Refused(QStringLiteral("Nothing was copied")))
        return;
    std::string table;
    if (FViews.ShowsLiveCurve())
        table = ShownCurvesTable(FViews.ShownTraces(), '\t');
    else if (!FViews.ResponseMapView()->Map().Curves.empty()) {
        // Numbers only: every comma separates.
        table = ResponseMapCsv(FViews.ResponseMapView()->Map().Curves);
        std::replace(table.begin(), table.end(), ',', '\t');
    }
    QGuiApplication::clipboard()->setText(QString::fromStdString(table));
}

} // namespace cva
