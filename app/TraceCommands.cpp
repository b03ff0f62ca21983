#include "app/TraceCommands.h"

#include <QAction>
#include <QHBoxLayout>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>

#include "app/FontScale.h"
#include "app/MainWindow.h"
#include "app/MenuText.h"
#include "app/PlotViews.h"
#include "plot/PlotColours.h"
#include "plot/Plotter.h"

namespace cva {

namespace {

// Sizes at the design font (see FontScale.h).
constexpr QSize ButtonSize{75, 22};
constexpr int ButtonSpacing = 13;

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

bool RefusedWithoutLiveCurve(const TCircuitDocument &doc, TUserDialogs &dialogs, const QString &refusal)
{
    if (doc.LiveFailure().isEmpty())
        return false;
    dialogs.ShowWarning(refusal + QStringLiteral(": there is no live curve. ") + doc.LiveFailure());
    return true;
}

TTraceCommands::TTraceCommands(TfrmMain &window) : QObject(&window), FWindow(window), FDoc(window.Doc()) {}

QHBoxLayout *TTraceCommands::CreateButtons(QWidget *area)
{
    auto makeButton = [area](const QString &name) {
        auto *button = new QPushButton(area);
        button->setObjectName(name);
        button->setMinimumSize(Scaled(*area, ButtonSize));
        return button;
    };
    FSnapshotButton = makeButton("btnSnapshot");
    FClearButton = makeButton("btnClear");
    FSweepButton = makeButton("Button1");
    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(Scaled(*area, ButtonSpacing));
    for (QPushButton *button : {FSnapshotButton, FClearButton, FSweepButton})
        buttons->addWidget(button);
    buttons->addStretch(1);
    return buttons;
}

void TTraceCommands::CreateActions(QMenu *plot)
{
    QAction *snapshot = FWindow.AddAction(plot, "actPlotSnapshot", "&Snapshot", "Take a snapshot of the current trace");
    QAction *clear = FWindow.AddAction(plot, "actPlotClear", "&Clear", "Clear all plotted traces");
    QAction *sweep =
        FWindow.AddAction(plot, "actPlotExample", "S&weep", "Produce an example of min/mid/max for each control");
    connect(snapshot, &QAction::triggered, this, &TTraceCommands::Snapshot);
    connect(clear, &QAction::triggered, this, &TTraceCommands::Clear);
    connect(sweep, &QAction::triggered, this, &TTraceCommands::Sweep);
    connect(FWindow.AddAction(plot, "actPlotSweepPoints", "Sweep &points...",
                              "Chooses the positions the Sweep moves each control to"),
            &QAction::triggered, this, &TTraceCommands::ChooseSweepPoints);
    // The buttons above the plot carry the captions and hints of their commands.
    for (auto [button, action] :
         {std::pair{FSnapshotButton, snapshot}, {FClearButton, clear}, {FSweepButton, sweep}}) {
        button->setText(action->text().remove('&'));
        button->setToolTip(action->statusTip());
        button->setStatusTip(action->statusTip());
        connect(button, &QPushButton::clicked, action, &QAction::trigger);
    }
}

void TTraceCommands::CreateColourActions(QMenu *plot)
{
    connect(FWindow.AddAction(plot, "actPlotSetColour", "Set co&lour...", "Sets the plot colour"),
            &QAction::triggered, this, &TTraceCommands::ChooseColour);
    QAction *cycle = FWindow.AddAction(plot, "actPlotCycleColour", "C&ycle colours automatically",
                                       "Cycles the colours every time you produce a change to a component value");
    cycle->setCheckable(true);
}

void TTraceCommands::CreateSnapshotMenu(QMenu *plot)
{
    QMenu *snapshots = plot->addMenu("S&napshots");
    snapshots->setObjectName("mnuPlotSnapshots");
    connect(snapshots, &QMenu::aboutToShow, this, [this, snapshots] { FillSnapshotMenu(snapshots); });
}

void TTraceCommands::KeepLiveCurve()
{
    // A circuit without a curve leaves nothing to compare.
    if (FDoc.LiveFailure().isEmpty())
        TakeSnapshot(QString());
}

void TTraceCommands::Snapshot()
{
    if (!RefusedWithoutLiveCurve(FDoc, FWindow.Dialogs(), QStringLiteral("No snapshot was taken")))
        TakeSnapshot(QString());
}

void TTraceCommands::TakeSnapshot(const QString &label)
{
    TPlotter *plotter = FWindow.Plotter();
    // The label says what the snapshot shows: what took it, else what the
    // live curve was loaded as, else its number.
    std::string text = label.toStdString();
    if (text.empty())
        text = !FDoc.Store().Labels[0].empty() ? FDoc.Store().Labels[0] : "Snapshot " + std::to_string(FSnapshotNumber + 1);
    // The live colour as every view shows it, also when the gain plot is
    // hidden and has not painted since the colour changed.
    FDoc.Store().TraceColours[0] = plotter->TraceColour();
    if (!FDoc.Store().Snapshot(text)) {
        FWindow.statusBar()->showMessage(PlotFullText);
        return;
    }
    if (label.isEmpty() && FDoc.Store().Labels[0].empty())
        ++FSnapshotNumber;
    if (FDoc.Store().IsFull()) {
        FSnapshotButton->setEnabled(false);
        FWindow.statusBar()->showMessage(PlotFullText);
    }
    FClearButton->setEnabled(true);
    plotter->DrawBackground();
    if (FWindow.Action("actPlotCycleColour")->isChecked())
        plotter->NextColour();
    plotter->update();
    FWindow.Views().UpdateShownView();
}

void TTraceCommands::Clear()
{
    FSnapshotButton->setEnabled(true);
    FDoc.Store().Clear();
    FSnapshotNumber = 0;
    FWindow.Plotter()->DrawBackground();
    FWindow.Plotter()->update();
    FWindow.Views().UpdateShownView();
    FClearButton->setEnabled(false);
}

void TTraceCommands::Sweep()
{
    const TCircuit &circuit = FDoc.Circuit();
    const int controls = SweptControls(circuit);
    const auto snapshots = controls * static_cast<long>(FSweepPoints.size());
    if (snapshots > MaxTraces - 1) {
        FWindow.Dialogs().ShowWarning(
            QStringLiteral("A sweep of %1 controls over %2 positions takes %3 snapshots, and the plot holds %4. "
                           "Choose fewer positions with Plot > Sweep points.")
                .arg(controls)
                .arg(FSweepPoints.size())
                .arg(snapshots)
                .arg(MaxTraces - 1));
        return;
    }
    if (RefusedWithoutLiveCurve(FDoc, FWindow.Dialogs(), QStringLiteral("The sweep was not made")))
        return;
    Clear();
    std::vector<int> remembered;
    for (int control = 0; control < circuit.ControlCount(); ++control)
        remembered.push_back(circuit.Position(control));
    const std::string liveLabel = FDoc.Store().Labels[0];
    // Settings without a curve are left out and told once, after the sweep.
    QStringList missing;
    QString missingWhy;
    for (int moving = 0; moving < FDoc.Circuit().ControlCount(); ++moving) {
        if (!FDoc.Circuit().ControlEnabled(moving))
            continue;
        const QString name = QString::fromStdString(FDoc.Circuit().ActiveInfo().Controls[std::size_t(moving)].Label);
        for (int position : FSweepPoints) {
            std::vector<int> positions(remembered.size(), SliderMaximum / 2);
            positions[std::size_t(moving)] = position;
            FWindow.MoveSliders(positions);
            const QString label = QStringLiteral("%1 %2%").arg(name).arg(position);
            if (FDoc.LiveFailure().isEmpty()) {
                TakeSnapshot(label);
            } else {
                missing << label;
                missingWhy = FDoc.LiveFailure();
            }
        }
    }
    FWindow.MoveSliders(remembered);
    if (!missing.isEmpty())
        FWindow.Dialogs().ShowWarning(
            QStringLiteral("The sweep has no curve at %1: %2").arg(missing.join(QStringLiteral(", ")), missingWhy));
    // Back where it started, the live curve is what it was before; the
    // circuit counts as changed by the slider moves, as every move does.
    FDoc.Store().Labels[0] = liveLabel;
    FDoc.SetModified(true);
}

void TTraceCommands::ChooseSweepPoints()
{
    if (const auto points = FWindow.Dialogs().ChooseSweepPoints(FSweepPoints, SweptControls(FDoc.Circuit())))
        FSweepPoints = *points;
}

void TTraceCommands::ChooseColour()
{
    TPlotter *plotter = FWindow.Plotter();
    // The chooser starts at the colour the live curve has now, cycled or chosen.
    const std::optional<QColor> colour = FWindow.Dialogs().ChooseColour(ToQColor(plotter->TraceColour()));
    if (!colour)
        return;
    FWindow.Action("actPlotCycleColour")->setChecked(false);
    plotter->SetTraceColour(FromQColor(*colour));
    FDoc.Recompute();
}

void TTraceCommands::SnapshotsChanged()
{
    FSnapshotButton->setEnabled(!FDoc.Store().IsFull());
    FClearButton->setEnabled(FDoc.Store().TraceCount > 1);
    FWindow.Plotter()->DrawBackground();
    FWindow.Plotter()->update();
}

void TTraceCommands::RenameSnapshot(int slot, const QString &label)
{
    const QString trimmed = label.trimmed();
    if (slot < 1 || slot >= FDoc.Store().TraceCount || trimmed.isEmpty())
        return;
    FDoc.Store().Labels[slot] = trimmed.toStdString();
    SnapshotsChanged();
}

void TTraceCommands::SetSnapshotShown(int slot, bool shown)
{
    if (slot < 1 || slot >= FDoc.Store().TraceCount)
        return;
    FDoc.Store().Hidden[slot] = !shown;
    SnapshotsChanged();
}

void TTraceCommands::RemoveSnapshot(int slot)
{
    if (slot < 1 || slot >= FDoc.Store().TraceCount)
        return;
    FDoc.Store().Remove(slot);
    SnapshotsChanged();
}

void TTraceCommands::FillSnapshotMenu(QMenu *menu)
{
    menu->clear();
    const TTraceStore &store = FDoc.Store();
    if (store.TraceCount == 1) {
        menu->addAction("(no snapshots)")->setEnabled(false);
        return;
    }
    for (int slot = 1; slot < store.TraceCount; ++slot) {
        const QString label = QString::fromStdString(store.Labels[slot]);
        QMenu *item = menu->addMenu(MenuText(store.Shown(slot) ? label : label + " (hidden)"));
        QAction *shown = item->addAction("&Show");
        shown->setCheckable(true);
        shown->setChecked(store.Shown(slot));
        connect(shown, &QAction::toggled, this, [this, slot](bool on) { SetSnapshotShown(slot, on); });
        connect(item->addAction("&Rename..."), &QAction::triggered, this, [this, slot, label] {
            if (const std::optional<QString> chosen = FWindow.Dialogs().ChooseSnapshotLabel(label))
                RenameSnapshot(slot, *chosen);
        });
        connect(item->addAction("Re&move"), &QAction::triggered, this, [this, slot] { RemoveSnapshot(slot); });
    }
}

} // namespace cva
