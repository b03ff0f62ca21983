// The main window's other ways to open a circuit file: File > Open recent
// and a file dropped on the window.

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMenu>
#include <QMimeData>

#include "app/MainWindow.h"
#include "app/MenuText.h"
#include "document/CircuitFile.h"

namespace cva {

namespace {

// The one local circuit file being dragged, or nothing.
QString DraggedCircuitFile(const QMimeData *data)
{
    if (!data || !data->hasUrls() || data->urls().size() != 1 || !data->urls().constFirst().isLocalFile())
        return QString();
    const QString path = data->urls().constFirst().toLocalFile();
    const QString extension = QString::fromLatin1(CircuitFileExtension.data(), int(CircuitFileExtension.size()));
    return QFileInfo(path).suffix().compare(extension, Qt::CaseInsensitive) == 0 ? path : QString();
}

} // namespace

void TfrmMain::FillRecentMenu(QMenu *menu)
{
    menu->clear();
    const QStringList files = FRecent.Files();
    for (int i = 0; i < files.size(); ++i) {
        const QString path = files[i];
        QAction *item = menu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(MenuText(QFileInfo(path).fileName())));
        item->setStatusTip(path);
        connect(item, &QAction::triggered, this, [this, path] { OpenRecentFile(path); });
    }
    if (files.isEmpty())
        menu->addAction("(no recent files)")->setEnabled(false);
}

void TfrmMain::OpenRecentFile(const QString &path)
{
    if (!QFileInfo::exists(path)) {
        FRecent.Remove(path);
        ShowError(QStringLiteral("The file \"%1\" no longer exists; it is taken off the recent files.").arg(path));
        return;
    }
    if (CheckSave())
        LoadFile(path);
}

void TfrmMain::dragEnterEvent(QDragEnterEvent *event)
{
    if (!DraggedCircuitFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void TfrmMain::dropEvent(QDropEvent *event)
{
    const QString path = DraggedCircuitFile(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    if (CheckSave())
        LoadFile(path);
}

} // namespace cva
