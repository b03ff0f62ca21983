#include <QApplication>

#include "app/MainWindow.h"

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName("Corvanta");
    QApplication::setApplicationDisplayName("Corvanta");
    QApplication::setApplicationVersion(CORVANTA_VERSION);

    cva::TfrmMain window;
    window.show();
    const QStringList arguments = QApplication::arguments().mid(1);
    for (const QString &argument : arguments) {
        if (!argument.startsWith('-') && !argument.startsWith('/')) {
            window.OpenFile(argument);
            break;
        }
    }
    return QApplication::exec();
}
