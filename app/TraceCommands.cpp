// The main window's trace commands: Snapshot, Clear, Sweep and the live
// trace's colour.

#include <algorithm>

#include <QAction>
#include <QColorDialog>
#include <QPushButton>
#include <QSlider>
#include <QStatusBar>

#include "app/MainWindow.h"
#include "app/SweepPointsDialog.h"
#include "plot/PlotColours.h"
#include "plot/Plotter.h"

namespace cva {

namespace {

// The controls the Sweep moves: those the page uses.
int SweptControls(const TCircuit &circuit)
{
    int controls = 0;
    for (int control = 0; control < circuit.ControlCount(); ++control)
        controls += circuit.ControlEnabled(control) ? 1 : 0;
    return controls;
}

} // namespace

const QString PlotFullText = QStringLiteral("The plot is full (%1 snapshots): Clear it, or remove a snapshot from "
                                            "Plot > Snapshots, to keep another curve.")
                                 .arg(MaxTraces - 1);

bool TfrmMain::RefusedWithoutLiveCurve(const QString &refusal)
{
    if (FDoc->LiveFailure().isEmpty())
        return false;
    FDialogs->ShowWarning(refusal + QStringLiteral(": there is no live curve. ") + FDoc->LiveFailure());
    return true;
}

void TfrmMain::KeepLiveCurve()
{
    // A circuit without a curve leaves nothing to compare.
    if (FDoc->LiveFailure().isEmpty())
        TakeSnapshot(QString());
}

void TfrmMain::actPlotSnapshotExecute()
{
    if (!RefusedWithoutLiveCurve(QStringLiteral("No snapshot was taken")))
        TakeSnapshot(QString());
}

void TfrmMain::TakeSnapshot(const QString &label)
{
    // The label says what the snapshot shows: what took it, else what the
    // live curve was loaded as, else its number.
    std::string text = label.toStdString();
    if (text.empty())
        text = !FDoc->Store().Labels[0].empty() ? FDoc->Store().Labels[0] : "Snapshot " + std::to_string(FSnapshotNumber + 1);
    // The live colour as every view shows it, also when the gain plot is
    // hidden and has not painted since the colour changed.
    FDoc->Store().TraceColours[0] = FPlotter->TraceColour();
    if (!FDoc->Store().Snapshot(text)) {
        statusBar()->showMessage(PlotFullText);
        return;
    }
    if (label.isEmpty() && FDoc->Store().Labels[0].empty())
        ++FSnapshotNumber;
    if (FDoc->Store().IsFull()) {
        btnSnapshot->setEnabled(false);
        statusBar()->showMessage(PlotFullText);
    }
    btnClear->setEnabled(true);
    FPlotter->DrawBackground();
    if (Action("actPlotCycleColour")->isChecked())
        FPlotter->NextColour();
    FPlotter->update();
    UpdateShownView();
}

void TfrmMain::actPlotClearExecute()
{
    btnSnapshot->setEnabled(true);
    FDoc->Store().Clear();
    FSnapshotNumber = 0;
    FPlotter->DrawBackground();
    FPlotter->update();
    UpdateShownView();
    btnClear->setEnabled(false);
}

void TfrmMain::actPlotExampleExecute()
{
    const int controls = SweptControls(FDoc->Circuit());
    const auto snapshots = controls * static_cast<long>(FSweepPoints.size());
    if (snapshots > MaxTraces - 1) {
        FDialogs->ShowWarning(QStringLiteral("A sweep of %1 controls over %2 positions takes %3 snapshots, and the plot holds %4. "
                                   "Choose fewer positions with Plot > Sweep points.")
                        .arg(controls)
                        .arg(FSweepPoints.size())
                        .arg(snapshots)
                        .arg(MaxTraces - 1));
        return;
    }
    if (RefusedWithoutLiveCurve(QStringLiteral("The sweep was not made")))
        return;
    actPlotClearExecute();
    std::vector<int> remembered;
    for (int control = 0; control < FDoc->Circuit().ControlCount(); ++control)
        remembered.push_back(FDoc->Circuit().Position(control));
    const std::string liveLabel = FDoc->Store().Labels[0];
    // Settings without a curve are left out and told once, after the sweep.
    QStringList missing;
    QString missingWhy;
    for (int moving = 0; moving < FDoc->Circuit().ControlCount(); ++moving) {
        if (!FDoc->Circuit().ControlEnabled(moving))
            continue;
        const QString name = QString::fromStdString(FDoc->Circuit().ActiveInfo().Controls[std::size_t(moving)].Label);
        for (int position : FSweepPoints) {
            std::vector<int> positions(remembered.size(), SliderMaximum / 2);
            positions[std::size_t(moving)] = position;
            MoveSliders(positions);
            const QString label = QStringLiteral("%1 %2%").arg(name).arg(position);
            if (FDoc->LiveFailure().isEmpty()) {
                TakeSnapshot(label);
            } else {
                missing << label;
                missingWhy = FDoc->LiveFailure();
            }
        }
    }
    MoveSliders(remembered);
    if (!missing.isEmpty())
        FDialogs->ShowWarning(QStringLiteral("The sweep has no curve at %1: %2").arg(missing.join(QStringLiteral(", ")), missingWhy));
    // Back where it started, the live curve is what it was before; the
    // circuit counts as changed by the slider moves, as every move does.
    FDoc->Store().Labels[0] = liveLabel;
    SetModified(true);
}

void TfrmMain::actPlotSweepPointsExecute()
{
    if (const auto points = FDialogs->ChooseSweepPoints(FSweepPoints, SweptControls(FDoc->Circuit())))
        FSweepPoints = *points;
}

void TfrmMain::actPlotSetColourExecute()
{
    // The chooser starts at the colour the live curve has now, cycled or chosen.
    const std::optional<QColor> colour = FDialogs->ChooseColour(ToQColor(FPlotter->TraceColour()));
    if (!colour)
        return;
    Action("actPlotCycleColour")->setChecked(false);
    FPlotter->SetTraceColour(FromQColor(*colour));
    Recalculate();
}

} // namespace cva
