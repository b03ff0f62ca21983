// The main window's Edit menu: undo and redo of every change of the circuit,
// each kept as the document before and after it.

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QUndoStack>

#include "app/MainWindow.h"

namespace cva {

void TfrmMain::CreateEditMenu()
{
    QMenu *edit = menuBar()->addMenu("&Edit");
    QAction *undo = FUndo->createUndoAction(this, "&Undo");
    undo->setObjectName("actEditUndo");
    undo->setShortcut(QKeySequence("Ctrl+Z"));
    undo->setStatusTip("Takes back the last change of the circuit");
    QAction *redo = FUndo->createRedoAction(this, "&Redo");
    redo->setObjectName("actEditRedo");
    redo->setShortcut(QKeySequence("Ctrl+Shift+Z"));
    redo->setStatusTip("Makes the change taken back again");
    edit->addAction(undo);
    edit->addAction(redo);
}

TDocumentMoment TfrmMain::Moment() const
{
    return {FCircuit, QString::fromStdString(FDocument.FileName()), FStore.Labels[0]};
}

void TfrmMain::Record(const QString &what, TDocumentMoment before)
{
    const QString fileName = QString::fromStdString(FDocument.FileName());
    const bool sameFile = before.FileName == fileName;
    if (before.Circuit == FCircuit && sameFile) {
        // Nothing to take back, though the user counts it as an edit.
        SetModified(true);
        return;
    }
    TDocumentMoment after{FCircuit, std::nullopt, FStore.Labels[0]};
    if (sameFile)
        before.FileName.reset();
    else
        after.FileName = fileName;
    FUndo->push(new TCircuitCommand(what, std::move(before), std::move(after),
                                    [this](const TDocumentMoment &moment) { RestoreDocument(moment); }));
}

void TfrmMain::RestoreDocument(const TDocumentMoment &moment)
{
    // The resolution belongs to the session, not to the circuit.
    const int step = FCircuit.ResolutionStep;
    FCircuit = moment.Circuit;
    FCircuit.ResolutionStep = step;
    ShowCircuitControls();
    if (moment.FileName)
        SetFileName(*moment.FileName);
    RefreshLabels();
    Recalculate();
    FStore.Labels[0] = moment.LiveLabel;
}

QString TfrmMain::MoveText(int slider) const
{
    return QStringLiteral("Move %1 to %2%").arg(SliderCaption(slider)->text()).arg(FCircuit.Position(slider));
}

} // namespace cva
