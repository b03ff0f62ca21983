#include "app/RecentFiles.h"

#include <QFileInfo>

namespace cva {

namespace {
const QString Key = QStringLiteral("RecentFiles");
} // namespace

QStringList TRecentFiles::Files() const
{
    return FSettings.value(Key).toStringList().mid(0, MaximumCount);
}

void TRecentFiles::Add(const QString &path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QStringList files = Files();
    files.removeAll(absolute);
    files.prepend(absolute);
    Store(files.mid(0, MaximumCount));
}

void TRecentFiles::Remove(const QString &path)
{
    QStringList files = Files();
    files.removeAll(QFileInfo(path).absoluteFilePath());
    Store(files);
}

void TRecentFiles::Store(const QStringList &files)
{
    FSettings.setValue(Key, files);
    FSettings.sync();
}

} // namespace cva
