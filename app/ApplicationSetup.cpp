#include "app/ApplicationSetup.h"

#include <QCoreApplication>

namespace cva {

void SetUpApplication()
{
    QCoreApplication::setApplicationName("Corvanta");
    QCoreApplication::setApplicationVersion(CORVANTA_VERSION);
}

} // namespace cva
