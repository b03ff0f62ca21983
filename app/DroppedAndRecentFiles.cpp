// The main window's other ways to open a file: File > Open recent, and a
// circuit or audio file dropped on the window.

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMenu>
#include <QMimeData>
#include <QStatusBar>
#include <QUrl>

#include "app/ListenBar.h"
#include "app/MainWindow.h"
#include "app/MenuText.h"
#include "document/CircuitFile.h"

namespace cva {

namespace {

const QString DropHint = QStringLiteral("drop one circuit file (.cva) or one audio file (WAV, FLAC, OGG)");

bool IsCircuitFile(const QString &path)
{
    const QString extension = QString::fromLatin1(CircuitFileExtension.data(), int(CircuitFileExtension.size()));
    return QFileInfo(path).suffix().compare(extension, Qt::CaseInsensitive) == 0;
}

bool IsAudioFile(const QString &path)
{
    static const QStringList extensions{"wav", "flac", "ogg", "aiff", "aif"};
    return extensions.contains(QFileInfo(path).suffix().toLower());
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
        FDialogs->ShowError(QStringLiteral("The file \"%1\" no longer exists; it is taken off the recent files.").arg(path));
        return;
    }
    if (CheckSave())
        LoadFile(path);
}

void TfrmMain::dragEnterEvent(QDragEnterEvent *event)
{
    // Any files are taken, so that the drop can say what it refuses.
    if (event->mimeData() && event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void TfrmMain::dropEvent(QDropEvent *event)
{
    const QList<QUrl> urls = event->mimeData() ? event->mimeData()->urls() : QList<QUrl>();
    if (urls.isEmpty())
        return;
    event->acceptProposedAction();
    if (urls.size() > 1) {
        statusBar()->showMessage(QStringLiteral("%1 files were dropped and none was opened: %2.")
                                     .arg(urls.size())
                                     .arg(DropHint));
        return;
    }
    const QString path = urls.constFirst().isLocalFile() ? urls.constFirst().toLocalFile() : QString();
    if (IsCircuitFile(path)) {
        if (CheckSave())
            LoadFile(path);
    } else if (IsAudioFile(path)) {
        FListen->OpenAudioFile(path);
    } else {
        statusBar()->showMessage(QStringLiteral("%1 was not opened: %2.")
                                     .arg(path.isEmpty() ? urls.constFirst().toString() : QFileInfo(path).fileName())
                                     .arg(DropHint));
    }
}

} // namespace cva
