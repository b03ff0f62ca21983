#include <QApplication>

#include "app/ApplicationSetup.h"
#include "app/MainWindow.h"

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    cva::SetUpApplication();

    cva::TfrmMain window;
    window.show();
    window.ReportPresetWarnings();
    // A circuit file named on the command line (as a file manager passes it)
    // opens as File > Open would; the help layer's debug switch is no file.
    const QStringList arguments = QApplication::arguments().mid(1);
    for (const QString &argument : arguments) {
        const bool debugSwitch = argument.compare("/debug", Qt::CaseInsensitive) == 0 ||
                                 argument.compare("-debug", Qt::CaseInsensitive) == 0;
        if (!debugSwitch && !argument.startsWith('-')) {
            window.OpenFile(argument);
            break;
        }
    }
    return QApplication::exec();
}
