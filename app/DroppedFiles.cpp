// A circuit or audio file dropped on the main window.

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QStatusBar>
#include <QUrl>

#include "app/FileCommands.h"
#include "app/ListenBar.h"
#include "app/MainWindow.h"
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
        if (FFiles->CheckSave())
            FFiles->OpenFile(path);
    } else if (IsAudioFile(path)) {
        FListen->OpenAudioFile(path);
    } else {
        statusBar()->showMessage(QStringLiteral("%1 was not opened: %2.")
                                     .arg(path.isEmpty() ? urls.constFirst().toString() : QFileInfo(path).fileName())
                                     .arg(DropHint));
    }
}

} // namespace cva
