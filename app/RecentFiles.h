#pragma once

// The circuit files opened or saved lately, newest first, kept between runs
// in the program's settings.

#include <QSettings>
#include <QStringList>

namespace cva {

class TRecentFiles {
public:
    static constexpr int MaximumCount = 8;

    QStringList Files() const;
    // Puts the file first, once, by its absolute path.
    void Add(const QString &path);
    void Remove(const QString &path);

private:
    void Store(const QStringList &files);

    QSettings FSettings;
};

} // namespace cva
