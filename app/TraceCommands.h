#pragma once

// The commands on the plot's traces: Snapshot, Clear and Sweep with their
// buttons above the plot, single snapshots (show, rename, remove), the live
// trace's colour and the positions the Sweep visits.

#include <vector>

#include <QObject>
#include <QString>

#include "document/SweepPoints.h"

class QHBoxLayout;
class QMenu;
class QPushButton;
class QWidget;

namespace cva {

class TCircuitDocument;
class TfrmMain;
class TUserDialogs;

// Said in the status bar when a curve cannot be kept because the plot is full.
extern const QString PlotFullText;

// True, after telling the user why with 'refusal' ("No snapshot was taken"),
// when the live circuit has no curve to keep or show.
bool RefusedWithoutLiveCurve(const TCircuitDocument &doc, TUserDialogs &dialogs, const QString &refusal);

class TTraceCommands : public QObject {
    Q_OBJECT

public:
    explicit TTraceCommands(TfrmMain &window);

    // The Snapshot, Clear and Sweep buttons, in a row for above the plot.
    QHBoxLayout *CreateButtons(QWidget *area);
    // Snapshot, Clear, Sweep and Sweep points in the Plot menu, the buttons
    // carrying their captions and hints.
    void CreateActions(QMenu *plot);
    // Set colour and colour cycling.
    void CreateColourActions(QMenu *plot);
    // Plot > Snapshots, listing them one by one.
    void CreateSnapshotMenu(QMenu *plot);

    void Snapshot();
    // A snapshot labelled with what it shows; an empty label numbers it.
    void TakeSnapshot(const QString &label);
    // Each snapshot on its own; slot 1 is the newest.
    void RenameSnapshot(int slot, const QString &label);
    void SetSnapshotShown(int slot, bool shown);
    void RemoveSnapshot(int slot);
    // Lists the snapshots with Show, Rename and Remove for each.
    void FillSnapshotMenu(QMenu *menu);
    void Clear();
    // A snapshot at each of the sweep points of each control in use.
    void Sweep();
    // Plot > Sweep points: the positions the Sweep visits, kept for the session.
    void ChooseSweepPoints();
    const std::vector<int> &SweepPoints() const { return FSweepPoints; }
    void ChooseColour();
    // The live curve as a snapshot, before a preset or a file replaces it.
    void KeepLiveCurve();

    QPushButton *SnapshotButton() const { return FSnapshotButton; }
    QPushButton *ClearButton() const { return FClearButton; }
    QPushButton *SweepButton() const { return FSweepButton; }

private:
    // The buttons and the plot after a snapshot changed.
    void SnapshotsChanged();

    TfrmMain &FWindow;
    TCircuitDocument &FDoc;
    QPushButton *FSnapshotButton = nullptr;
    QPushButton *FClearButton = nullptr;
    QPushButton *FSweepButton = nullptr;
    int FSnapshotNumber = 0; // of the snapshots numbered since the last Clear
    std::vector<int> FSweepPoints = DefaultSweepPoints;
};

} // namespace cva
