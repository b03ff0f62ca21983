#include "app/ApplicationSetup.h"

#include <QCoreApplication>

namespace cva {

void SetUpApplication()
{
    // The settings (recent files, window size) live under this name.
    QCoreApplication::setOrganizationName("Corvanta");
    QCoreApplication::setApplicationName("Corvanta");
    QCoreApplication::setApplicationVersion(CORVANTA_VERSION);
}

} // namespace cva
