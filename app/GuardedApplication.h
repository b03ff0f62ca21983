#pragma once

#include <functional>

#include <QApplication>
#include <QString>

namespace cva {

// The application object whose event delivery is the last line of defence:
// an exception that escapes a handler (the program's own error, running out
// of memory, any failure of the library) is reported to the user with its
// message, and the event loop carries on, so the window stays usable.
class TGuardedApplication : public QApplication {
public:
    using TReport = std::function<void(const QString &message)>;

    TGuardedApplication(int &argc, char **argv, TReport report);
    bool notify(QObject *receiver, QEvent *event) override;

private:
    TReport Report;
};

} // namespace cva
