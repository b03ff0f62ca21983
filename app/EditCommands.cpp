// The main window's Edit menu: undo and redo of every change of the circuit,
// each kept as the document before and after it, and copying the view shown
// as a picture or a table.

#include <algorithm>

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QUndoStack>

#include "app/MainWindow.h"
#include "document/TraceTable.h"
#include "plot/PlotLegend.h"
#include "plot/ResponseMapView.h"

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
    edit->addSeparator();
    connect(AddAction(edit, "actEditCopyPlot", "Copy &plot", "Copies the view shown as a picture"), &QAction::triggered,
            this, &TfrmMain::CopyPlot);
    connect(AddAction(edit, "actEditCopyData", "Copy &data",
                      "Copies the curves shown as a table, one column per curve named as in the legend"),
            &QAction::triggered, this, &TfrmMain::CopyData);
    edit->addSeparator();
    CreateSnapMenu(edit);
}

void TfrmMain::CopyPlot()
{
    if (FPlotView != TPlotView::ResponseMap && RefusedWithoutLiveCurve(QStringLiteral("Nothing was copied")))
        return;
    // At the screen's density, as the view is shown.
    QWidget *view = ShownView();
    const qreal ratio = view->devicePixelRatioF();
    QImage picture(view->size() * ratio, QImage::Format_RGB32);
    picture.setDevicePixelRatio(ratio);
    QPainter painter(&picture);
    RenderShownView(painter, view->size());
    painter.end();
    QGuiApplication::clipboard()->setImage(picture);
}

void TfrmMain::CopyData()
{
    if (FPlotView != TPlotView::ResponseMap && RefusedWithoutLiveCurve(QStringLiteral("Nothing was copied")))
        return;
    std::string table;
    if (FPlotView != TPlotView::ResponseMap)
        table = ShownCurvesTable(ShownTraces(), '\t');
    else if (!FMapView->Map().Curves.empty()) {
        // Numbers only: every comma separates.
        table = ResponseMapCsv(FMapView->Map().Curves);
        std::replace(table.begin(), table.end(), ',', '\t');
    }
    QGuiApplication::clipboard()->setText(QString::fromStdString(table));
}

QString TfrmMain::MoveText(int slider, int position) const
{
    return QStringLiteral("Move %1 to %2%").arg(SliderCaption(slider)->text()).arg(position);
}

} // namespace cva
