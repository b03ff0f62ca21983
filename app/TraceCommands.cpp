// The main window's trace commands: Snapshot, Clear, Sweep and the live
// trace's colour.

#include <QAction>
#include <QColorDialog>
#include <QPushButton>
#include <QSlider>

#include "app/MainWindow.h"
#include "plot/PlotColours.h"
#include "plot/Plotter.h"

namespace cva {

void TfrmMain::actPlotSnapshotExecute()
{
    // The live colour as every view shows it, also when the gain plot is
    // hidden and has not painted since the colour changed.
    FStore.TraceColours[0] = FPlotter->TraceColour();
    if (!FStore.Snapshot())
        return;
    if (FStore.IsFull())
        btnSnapshot->setEnabled(false);
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
    FStore.Clear();
    FPlotter->DrawBackground();
    FPlotter->update();
    UpdateShownView();
    btnClear->setEnabled(false);
}

void TfrmMain::actPlotExampleExecute()
{
    actPlotClearExecute();
    const std::array<int, 3> remembered{FCircuit.Position(TSlider::Bass), FCircuit.Position(TSlider::Mid),
                                        FCircuit.Position(TSlider::Treble)};
    for (TSlider moving : AllSliders) {
        if (!FSliders[static_cast<int>(moving)]->isEnabled())
            continue;
        for (int i = 0; i < 3; ++i) {
            std::array<int, 3> positions{50, 50, 50};
            positions[static_cast<int>(moving)] = 50 * i;
            MoveSliders(positions);
            actPlotSnapshotExecute();
        }
    }
    MoveSliders(remembered);
}

std::optional<QColor> TfrmMain::ChooseColour(const QColor &initial)
{
    const QColor colour = QColorDialog::getColor(initial, this, "Set colour");
    if (!colour.isValid())
        return std::nullopt;
    return colour;
}

void TfrmMain::actPlotSetColourExecute()
{
    const std::optional<QColor> colour = ChooseColour(FLastColour);
    if (!colour)
        return;
    FLastColour = *colour;
    Action("actPlotCycleColour")->setChecked(false);
    FPlotter->SetTraceColour(FromQColor(*colour));
    Recalculate();
}

} // namespace cva
