#include <csignal>

#include <QMessageBox>

#include "app/ApplicationSetup.h"
#include "app/GuardedApplication.h"
#include "app/FileCommands.h"
#include "app/MainWindow.h"
#include "app/PresetCommands.h"

int main(int argc, char *argv[])
{
    // A full pipe's reader gone or a file size limit reached then fail the
    // write with their reason in the error box instead of ending the program.
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
    cva::TGuardedApplication application(argc, argv, [](const QString &message) {
        QMessageBox::critical(QApplication::activeWindow(), QApplication::applicationDisplayName(), message);
    });
    const QString settingsWarning = cva::SetUpApplication();

    cva::TfrmMain window;
    window.RestoreWindowSize();
    window.show();
    if (!settingsWarning.isEmpty())
        QMessageBox::warning(&window, QApplication::applicationDisplayName(), settingsWarning);
    window.Presets().ReportWarnings();
    // A circuit file named on the command line (as a file manager passes it)
    // opens as File > Open would; the help layer's debug switch is no file.
    const QStringList arguments = QApplication::arguments().mid(1);
    for (const QString &argument : arguments) {
        const bool debugSwitch = argument.compare("/debug", Qt::CaseInsensitive) == 0 ||
                                 argument.compare("-debug", Qt::CaseInsensitive) == 0;
        if (!debugSwitch && !argument.startsWith('-')) {
            window.Files().OpenFile(argument);
            break;
        }
    }
    return cva::TGuardedApplication::exec();
}
