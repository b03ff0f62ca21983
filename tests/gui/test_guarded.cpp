// The application's last line of defence: an exception escaping an event
// handler is reported and the event loop goes on.

#include <functional>
#include <new>
#include <stdexcept>
#include <vector>

#include <QEvent>
#include <QTest>

#include "app/GuardedApplication.h"
#include "numerics/Error.h"

namespace {

// Throws what it is told to from its event handler.
class TThrower : public QObject {
public:
    std::function<void()> Throw;
    int Handled = 0;

protected:
    bool event(QEvent *event) override
    {
        if (event->type() != QEvent::User)
            return QObject::event(event);
        ++Handled;
        Throw();
        return true;
    }
};

} // namespace

class TestGuarded : public QObject {
    Q_OBJECT

public:
    QStringList *Reports = nullptr;

private slots:
    void everyExceptionIsReportedAndTheLoopGoesOn()
    {
        TThrower thrower;
        const std::vector<std::pair<std::function<void()>, QString>> cases = {
            {[] { throw cva::CorvantaError("Unhandled symbol X in TSymbolList::GetValue"); },
             "Unhandled symbol X in TSymbolList::GetValue"},
            {[] { throw std::bad_alloc(); }, "std::bad_alloc"},
            {[] { throw std::out_of_range("index 70 of 65"); }, "index 70 of 65"},
            {[] { throw 42; }, "An unknown error ended the command."},
        };
        for (const auto &[raise, message] : cases) {
            Reports->clear();
            thrower.Throw = raise;
            QCoreApplication::postEvent(&thrower, new QEvent(QEvent::User));
            QCoreApplication::processEvents();
            QCOMPARE(*Reports, QStringList{message});
        }
        QCOMPARE(thrower.Handled, int(cases.size()));
        // Delivery goes on as before.
        thrower.Throw = [] {};
        QCoreApplication::postEvent(&thrower, new QEvent(QEvent::User));
        QCoreApplication::processEvents();
        QCOMPARE(thrower.Handled, int(cases.size()) + 1);
        QCOMPARE(Reports->size(), 1);
    }
};

int main(int argc, char *argv[])
{
    QStringList reports;
    cva::TGuardedApplication application(argc, argv, [&reports](const QString &message) { reports << message; });
    TestGuarded test;
    test.Reports = &reports;
    return QTest::qExec(&test, argc, argv);
}

#include "test_guarded.moc"
