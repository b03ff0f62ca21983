// The main window's design aids: snapping the page's parts to E-series
// values, importing a measured curve beside the computed ones, and the
// tolerance band behind the live curve.

#include <QAction>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>

#include "app/MainWindow.h"
#include "app/ToleranceBandDialog.h"
#include "document/ESeriesSnap.h"
#include "document/MeasuredCurve.h"
#include "numerics/Error.h"
#include "plot/PlotColours.h"
#include "plot/Plotter.h"

namespace cva {

void TfrmMain::CreateSnapMenu(QMenu *edit)
{
    QMenu *snap = edit->addMenu("S&nap values to");
    snap->setObjectName("mnuEditSnap");
    for (TESeries series : {TESeries::E12, TESeries::E24, TESeries::E96}) {
        const QString name = QString::fromLatin1(ESeriesName(series));
        connect(AddAction(snap, "actEditSnap" + name, name,
                          QStringLiteral("Sets every resistor and capacitor of the page to its nearest %1 value")
                              .arg(name)),
                &QAction::triggered, this, [this, series] { SnapValues(series); });
    }
}

void TfrmMain::CreateToleranceBand()
{
    FBandWorker = new TToleranceBandWorker(this);
    connect(FBandWorker, &TToleranceBandWorker::Finished, this, [this] {
        FPlotter->SetToleranceBand(&*FBandWorker->Band());
        UpdateShownView();
    });
    connect(FBandWorker, &TToleranceBandWorker::Failed, this, [this](const QString &reason) {
        statusBar()->showMessage(QStringLiteral("No tolerance band: %1").arg(reason));
    });
    // Every change of the circuit, the resolution included, makes a new band.
    connect(FDoc, &TCircuitDocument::Recomputed, this, &TfrmMain::RestartToleranceBand);
}

void TfrmMain::SnapValues(TESeries series)
{
    const QString name = QString::fromLatin1(ESeriesName(series));
    std::vector<std::string> unchanged;
    FDoc->Apply({.What = QStringLiteral("Snap values to %1").arg(name),
                 .Edit = [&](TCircuit &circuit) { unchanged = SnapActivePage(circuit, series); }});
    if (unchanged.empty()) {
        statusBar()->showMessage(QStringLiteral("Every resistor and capacitor of the page has its nearest %1 value")
                                     .arg(name));
        return;
    }
    QStringList lines;
    for (const std::string &line : unchanged)
        lines << QString::fromStdString(line);
    FDialogs->ShowWarning(lines.join('\n'));
}

void TfrmMain::actFileImportCurveExecute()
{
    const QString path = FDialogs->ChooseCurveFile();
    if (!path.isEmpty())
        ImportCurve(path);
}

bool TfrmMain::ImportCurve(const QString &path)
{
    if (FDoc->Store().IsFull()) {
        statusBar()->showMessage(PlotFullText);
        return false;
    }
    TMeasuredCurve curve;
    try {
        curve = LoadMeasuredCurve(path.toStdString());
    } catch (const CorvantaError &error) {
        FDialogs->ShowError(QStringLiteral("The curve was not imported. %1").arg(error.what()));
        return false;
    }
    // A snapshot of the live circuit that then takes the measured curve in:
    // the legend, the Snapshots menu, export and print treat it as any other.
    TakeSnapshot(QFileInfo(path).completeBaseName());
    TTraceStore &store = FDoc->Store();
    store.Traces[1] = MeasuredCurveOnGrid(curve);
    // The phase view shows a measured phase; no view shows what was not measured.
    TTrace none;
    none.fill(std::numeric_limits<double>::quiet_NaN());
    store.Quantities[1] = {curve.HasPhase ? MeasuredCurveOnGrid(curve, &TMeasuredPoint::PhaseDeg) : none, none, none};
    store.TraceColours[1] = FPlotter->TraceColour() == clFuchsia ? clYellow : clFuchsia;
    FPlotter->DrawBackground();
    FPlotter->update();
    UpdateShownView();
    return true;
}

void TfrmMain::actPlotToleranceBandExecute()
{
    if (const std::optional<TToleranceSettings> settings = FDialogs->ChooseToleranceSettings(FDoc->Circuit(), FTolerance))
        SetToleranceSettings(*settings);
}

void TfrmMain::SetToleranceSettings(const TToleranceSettings &settings)
{
    FTolerance = settings;
    RestartToleranceBand();
}

void TfrmMain::RestartToleranceBand()
{
    // The band of the circuit before is never shown beside the new curve.
    FPlotter->SetToleranceBand(nullptr);
    if (FTolerance.Shown)
        FBandWorker->Start(FDoc->Circuit(), FTolerance);
    else
        FBandWorker->Stop();
    UpdateShownView();
}

} // namespace cva
