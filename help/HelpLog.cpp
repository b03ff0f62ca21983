#include "help/HelpLog.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSysInfo>
#include <QTemporaryFile>
#include <QTextStream>
#include <QTime>
#include <QtGlobal>

namespace cva {

namespace {

// Whether a new file can be created in the folder. The probe is made with
// NewOnly so that a file of that name which was already there (someone
// else's) is neither overwritten nor deleted; then a uniquely named probe
// answers instead.
bool CanCreateFileIn(const QString &folder)
{
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return false;
    QFile probe(QDir(folder).filePath(THelpLog::ProbeFile));
    if (probe.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        probe.close();
        probe.remove();
        return true;
    }
    if (!probe.exists())
        return false;
    QTemporaryFile unique(QDir(folder).filePath(QStringLiteral("$_Temp_$.XXXXXX")));
    return unique.open();
}

} // namespace

THelpLog::THelpLog(const QString &programFolder, const QStringList &arguments, const QString &helpFile)
    : FFolder(ChooseFolder(programFolder)), FEnabled(Requested(programFolder, arguments))
{
    QFile::remove(FilePath());
    if (FEnabled)
        WriteHeader(helpFile);
}

QString THelpLog::ChooseFolder(const QString &programFolder)
{
    if (CanCreateFileIn(programFolder))
        return QDir::cleanPath(programFolder);
    return QDir::cleanPath(QDir::tempPath());
}

bool THelpLog::Requested(const QString &programFolder, const QStringList &arguments)
{
    if (!programFolder.isEmpty() && QFileInfo::exists(QDir(programFolder).filePath(SwitchFile)))
        return true;
    for (const QString &argument : arguments)
        if (argument.compare(QLatin1String("/debug"), Qt::CaseInsensitive) == 0 ||
            argument.compare(QLatin1String("-debug"), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

QString THelpLog::FilePath() const
{
    return QDir(FFolder).filePath(FileName);
}

void THelpLog::Line(const QString &text) const
{
    if (FEnabled)
        Append(text + QStringLiteral("   ") + QTime::currentTime().toString(QStringLiteral("HH:mm:ss")));
}

void THelpLog::Append(const QString &text) const
{
    // Opened for every line so that the log is complete up to the last call
    // even if the program does not end normally.
    QFile file(FilePath());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text))
        return;
    QTextStream out(&file);
    out << text << '\n';
}

void THelpLog::WriteHeader(const QString &helpFile) const
{
    const QLocale locale;
    const QFileInfo help(helpFile);
    Append(QStringLiteral("Corvanta help diagnostics: %1").arg(FilePath()));
    Append(QStringLiteral("Date: %1").arg(QDateTime::currentDateTime().toString(Qt::ISODate)));
    Append(QStringLiteral("Operating system: %1 (%2 %3, kernel %4 %5)")
               .arg(QSysInfo::prettyProductName(), QSysInfo::productType(), QSysInfo::productVersion(),
                    QSysInfo::kernelType(), QSysInfo::kernelVersion()));
    Append(QStringLiteral("Locale: %1, decimal separator '%2'").arg(locale.name(), locale.decimalPoint()));
    Append(QStringLiteral("Help file: %1 (%2)")
               .arg(helpFile.isEmpty() ? QStringLiteral("none found") : helpFile,
                    help.isFile() ? QStringLiteral("%1 bytes").arg(help.size()) : QStringLiteral("missing")));
    Append(QStringLiteral("Help viewer: Qt Help %1 (built with Qt %2)").arg(qVersion(), QT_VERSION_STR));
}

} // namespace cva
