#include "app/ApplicationSetup.h"

#include <QCoreApplication>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "document/Version.h"
#include "io/FileKinds.h"

namespace cva {

namespace {

// The settings are read as soon as the first QSettings is made, and a named
// pipe in place of their file would hold the program before its window
// appears. Such a file is left alone, and this run keeps its settings in a
// folder of its own that goes with it.
QString KeepSettingsOffSpecialFile()
{
    const QString file = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + '/' +
                         QCoreApplication::organizationName() + '/' + QCoreApplication::applicationName() +
                         QStringLiteral(".conf");
    const auto reason = SpecialFileReason(file.toStdString());
    if (!reason)
        return {};
    static QTemporaryDir instead;
    for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
        QSettings::setPath(format, QSettings::UserScope, instead.path());
    return QStringLiteral("The settings file \"%1\" is %2, so it is left alone: the recent files and the window "
                          "size are not kept this time.")
        .arg(file, QString::fromStdString(*reason));
}

} // namespace

QString SetUpApplication()
{
    // The settings (recent files, window size) live under this name.
    QCoreApplication::setOrganizationName("Corvanta");
    QCoreApplication::setApplicationName("Corvanta");
    QCoreApplication::setApplicationVersion(ProgramVersion);
    return KeepSettingsOffSpecialFile();
}

} // namespace cva
