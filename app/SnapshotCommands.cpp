// The main window's commands on single snapshots: rename, hide or show and
// remove, from the Plot menu's Snapshots list and the plot's context menu.

#include <QAction>
#include <QInputDialog>
#include <QMenu>
#include <QPushButton>

#include "app/MainWindow.h"
#include "app/MenuText.h"
#include "plot/Plotter.h"

namespace cva {

void TfrmMain::SnapshotsChanged()
{
    btnSnapshot->setEnabled(!FDoc->Store().IsFull());
    btnClear->setEnabled(FDoc->Store().TraceCount > 1);
    FPlotter->DrawBackground();
    FPlotter->update();
}

void TfrmMain::RenameSnapshot(int slot, const QString &label)
{
    const QString trimmed = label.trimmed();
    if (slot < 1 || slot >= FDoc->Store().TraceCount || trimmed.isEmpty())
        return;
    FDoc->Store().Labels[slot] = trimmed.toStdString();
    SnapshotsChanged();
}

void TfrmMain::SetSnapshotShown(int slot, bool shown)
{
    if (slot < 1 || slot >= FDoc->Store().TraceCount)
        return;
    FDoc->Store().Hidden[slot] = !shown;
    SnapshotsChanged();
}

void TfrmMain::RemoveSnapshot(int slot)
{
    if (slot < 1 || slot >= FDoc->Store().TraceCount)
        return;
    FDoc->Store().Remove(slot);
    SnapshotsChanged();
}

void TfrmMain::FillSnapshotMenu(QMenu *menu)
{
    menu->clear();
    if (FDoc->Store().TraceCount == 1) {
        menu->addAction("(no snapshots)")->setEnabled(false);
        return;
    }
    for (int slot = 1; slot < FDoc->Store().TraceCount; ++slot) {
        const QString label = QString::fromStdString(FDoc->Store().Labels[slot]);
        QMenu *item = menu->addMenu(MenuText(FDoc->Store().Shown(slot) ? label : label + " (hidden)"));
        QAction *shown = item->addAction("&Show");
        shown->setCheckable(true);
        shown->setChecked(FDoc->Store().Shown(slot));
        connect(shown, &QAction::toggled, this, [this, slot](bool on) { SetSnapshotShown(slot, on); });
        connect(item->addAction("&Rename..."), &QAction::triggered, this, [this, slot, label] {
            if (const std::optional<QString> chosen = FDialogs->ChooseSnapshotLabel(label))
                RenameSnapshot(slot, *chosen);
        });
        connect(item->addAction("Re&move"), &QAction::triggered, this, [this, slot] { RemoveSnapshot(slot); });
    }
}

} // namespace cva
