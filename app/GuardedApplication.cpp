#include "app/GuardedApplication.h"

#include <exception>
#include <utility>

namespace cva {

TGuardedApplication::TGuardedApplication(int &argc, char **argv, TReport report)
    : QApplication(argc, argv), Report(std::move(report))
{
}

bool TGuardedApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &error) {
        Report(QString::fromStdString(error.what()));
    } catch (...) {
        Report(QStringLiteral("An unknown error ended the command."));
    }
    return false;
}

} // namespace cva
