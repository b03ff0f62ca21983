#include "app/DesignCommands.h"

#include <QAction>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>

#include "app/MainWindow.h"
#include "app/PlotViews.h"
#include "app/TraceCommands.h"
#include "app/ToleranceBandDialog.h"
#include "document/ESeriesSnap.h"
#include "document/MeasuredCurve.h"
#include "numerics/Error.h"
#include "plot/PlotColours.h"
#include "plot/Plotter.h"

namespace cva {

void TDesignCommands::CreateSnapMenu(QMenu *edit)
{
    QMenu *snap = edit->addMenu("S&nap values to");
    snap->setObjectName("mnuEditSnap");
    for (TESeries series : {TESeries::E12, TESeries::E24, TESeries::E96}) {
        const QString name = QString::fromLatin1(ESeriesName(series));
        connect(FWindow.AddAction(snap, "actEditSnap" + name, name,
                          QStringLiteral("Sets every resistor and capacitor of the page to its nearest %1 value")
                              .arg(name)),
                &QAction::triggered, this, [this, series] { SnapValues(series); });
    }
}

TDesignCommands::TDesignCommands(TfrmMain &window)
    : QObject(&window), FWindow(window), FDoc(window.Doc()), FBandWorker(new TToleranceBandWorker(this))
{
    connect(FBandWorker, &TToleranceBandWorker::Finished, this, [this] {
        FWindow.Plotter()->SetToleranceBand(&*FBandWorker->Band());
        FWindow.Views().UpdateShownView();
    });
    connect(FBandWorker, &TToleranceBandWorker::Failed, this, [this](const QString &reason) {
        FWindow.statusBar()->showMessage(QStringLiteral("No tolerance band: %1").arg(reason));
    });
    // Every change of the circuit, the resolution included, makes a new band.
    connect(&FDoc, &TCircuitDocument::Recomputed, this, &TDesignCommands::RestartToleranceBand);
}

void TDesignCommands::CreateImportAction(QMenu *file)
{
    connect(FWindow.AddAction(file, "actFileImportCurve", "&Import curve...",
                              "Shows a measured curve (CSV of frequency, dB and an optional phase) as a snapshot"),
            &QAction::triggered, this, [this] {
                const QString path = FWindow.Dialogs().ChooseCurveFile();
                if (!path.isEmpty())
                    ImportCurve(path);
            });
}

void TDesignCommands::CreateToleranceAction(QMenu *plot)
{
    connect(FWindow.AddAction(plot, "actPlotToleranceBand", "&Tolerance band...",
                              "Shades the range of curves that parts within their tolerances give"),
            &QAction::triggered, this, [this] {
                if (const auto settings = FWindow.Dialogs().ChooseToleranceSettings(FDoc.Circuit(), FTolerance))
                    SetToleranceSettings(*settings);
            });
}

void TDesignCommands::SnapValues(TESeries series)
{
    const QString name = QString::fromLatin1(ESeriesName(series));
    std::vector<std::string> unchanged;
    FDoc.Apply({.What = QStringLiteral("Snap values to %1").arg(name),
                 .Edit = [&](TCircuit &circuit) { unchanged = SnapActivePage(circuit, series); }});
    if (unchanged.empty()) {
        FWindow.statusBar()->showMessage(QStringLiteral("Every resistor and capacitor of the page has its nearest %1 value")
                                     .arg(name));
        return;
    }
    QStringList lines;
    for (const std::string &line : unchanged)
        lines << QString::fromStdString(line);
    FWindow.Dialogs().ShowWarning(lines.join('\n'));
}

bool TDesignCommands::ImportCurve(const QString &path)
{
    if (FDoc.Store().IsFull()) {
        FWindow.statusBar()->showMessage(PlotFullText);
        return false;
    }
    TMeasuredCurve curve;
    try {
        curve = LoadMeasuredCurve(path.toStdString());
    } catch (const CorvantaError &error) {
        FWindow.Dialogs().ShowError(QStringLiteral("The curve was not imported. %1").arg(error.what()));
        return false;
    }
    // A snapshot of the live circuit that then takes the measured curve in:
    // the legend, the Snapshots menu, export and print treat it as any other.
    FWindow.Traces().TakeSnapshot(QFileInfo(path).completeBaseName());
    TTraceStore &store = FDoc.Store();
    store.Traces[1] = MeasuredCurveOnGrid(curve);
    // The phase view shows a measured phase; no view shows what was not measured.
    TTrace none;
    none.fill(std::numeric_limits<double>::quiet_NaN());
    store.Quantities[1] = {curve.HasPhase ? MeasuredCurveOnGrid(curve, &TMeasuredPoint::PhaseDeg) : none, none, none};
    store.TraceColours[1] = FWindow.Plotter()->TraceColour() == clFuchsia ? clYellow : clFuchsia;
    FWindow.Plotter()->DrawBackground();
    FWindow.Plotter()->update();
    FWindow.Views().UpdateShownView();
    return true;
}

void TDesignCommands::SetToleranceSettings(const TToleranceSettings &settings)
{
    FTolerance = settings;
    RestartToleranceBand();
}

void TDesignCommands::RestartToleranceBand()
{
    // The band of the circuit before is never shown beside the new curve.
    FWindow.Plotter()->SetToleranceBand(nullptr);
    if (FTolerance.Shown)
        FBandWorker->Start(FDoc.Circuit(), FTolerance);
    else
        FBandWorker->Stop();
    FWindow.Views().UpdateShownView();
}

} // namespace cva
