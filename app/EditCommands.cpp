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
    QAction *undo = FDoc->UndoStack()->createUndoAction(this, "&Undo");
    undo->setObjectName("actEditUndo");
    undo->setShortcut(QKeySequence("Ctrl+Z"));
    undo->setStatusTip("Takes back the last change of the circuit");
    QAction *redo = FDoc->UndoStack()->createRedoAction(this, "&Redo");
    redo->setObjectName("actEditRedo");
    redo->setShortcut(QKeySequence("Ctrl+Shift+Z"));
    redo->setStatusTip("Makes the change taken back again");
    edit->addAction(undo);
    edit->addAction(redo);
}

QString TfrmMain::MoveText(int slider, int position) const
{
    return QStringLiteral("Move %1 to %2%").arg(SliderCaption(slider)->text()).arg(position);
}

} // namespace cva
