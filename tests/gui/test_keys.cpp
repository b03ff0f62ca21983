// The keyboard: the help's table of menus and keys against the window's
// real bindings, Space for Play only where no button or field takes it, and
// every control of the Listen bar reachable with Tab.

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QKeyEvent>
#include <QMenuBar>
#include <QRegularExpression>
#include <QSlider>
#include <QToolButton>

#include "TestWindow.h"
#include "app/ListenBar.h"

using namespace cva;
using namespace cva::test;

namespace {

struct THelpKey {
    QString Menu, Item, Key;
};

// The rows of the first table of the keys topic; an empty menu cell
// continues the menu above.
QList<THelpKey> HelpKeys()
{
    QFile file(QStringLiteral(CORVANTA_HELP_TOPICS "/keys.html"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QString html = QString::fromUtf8(file.readAll());
    const QString table = html.left(html.indexOf(QStringLiteral("</table>")));
    static const QRegularExpression row(QStringLiteral("<tr><td>(.*?)</td><td>(.*?)</td><td>(.*?)</td>"));
    QList<THelpKey> keys;
    QString menu;
    for (const QRegularExpressionMatch &match : row.globalMatch(table)) {
        if (!match.captured(1).isEmpty())
            menu = match.captured(1);
        keys.append({menu, match.captured(2), match.captured(3)});
    }
    return keys;
}

QString Plain(QString text)
{
    return text.remove(QLatin1Char('&'));
}

// Every item of the window's menus, as "Menu|Item", with its key.
QMap<QString, QString> MenuBindings(TfrmMain &window)
{
    QMap<QString, QString> bindings;
    for (QAction *top : window.menuBar()->actions()) {
        if (!top->menu())
            continue;
        emit top->menu()->aboutToShow();
        for (QAction *action : top->menu()->actions())
            if (!action->isSeparator())
                bindings.insert(Plain(top->text()) + '|' + Plain(action->text()),
                                action->shortcut().toString(QKeySequence::PortableText));
    }
    return bindings;
}

} // namespace

class TestKeys : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        W = std::make_unique<TTestWindow>();
        W->show();
        QVERIFY(QTest::qWaitForWindowActive(W.get()));
    }
    void cleanup() { W.reset(); }

    void helpTableStatesTheRealBindings();
    void spaceGoesToTheFocusedWidget_data();
    void spaceGoesToTheFocusedWidget();
    void listenControlsAreReachedWithTab();

private:
    std::unique_ptr<TTestWindow> W;
};

void TestKeys::helpTableStatesTheRealBindings()
{
    const QList<THelpKey> help = HelpKeys();
    QVERIFY(help.size() > 20);
    QMap<QString, QString> bindings = MenuBindings(*W);
    for (const THelpKey &row : help) {
        if (row.Menu == QLatin1String("Listen bar")) {
            QCOMPARE(row.Key.section(QLatin1Char(' '), 0, 0),
                     W->ListenBar()->PlayAction()->shortcut().toString(QKeySequence::PortableText));
            continue;
        }
        const QString name = row.Menu + '|' + row.Item;
        QVERIFY2(bindings.contains(name), qPrintable(name + " is in the help but not in the menus"));
        QCOMPARE(row.Key, bindings.take(name));
    }
    // Items with a key of their own must be in the table too; the presets
    // and recent files are lists, not commands.
    for (auto [name, key] : bindings.asKeyValueRange())
        QVERIFY2(key.isEmpty(), qPrintable(name + " (" + key + ") is missing from the help"));
}

void TestKeys::spaceGoesToTheFocusedWidget_data()
{
    QTest::addColumn<QString>("widget");
    QTest::addColumn<bool>("takesSpace");
    QTest::newRow("Snapshot button") << "btnSnapshot" << true;
    QTest::newRow("Clear button") << "btnClear" << true;
    QTest::newRow("source box") << "cbListenSource" << true;
    QTest::newRow("Bass slider") << "tbBass" << false;
}

void TestKeys::spaceGoesToTheFocusedWidget()
{
    QFETCH(QString, widget);
    QFETCH(bool, takesSpace);
    auto *target = W->findChild<QWidget *>(widget);
    QVERIFY(target);
    target->setEnabled(true);
    target->setFocus();
    QKeyEvent override(QEvent::ShortcutOverride, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    override.ignore();
    QApplication::sendEvent(target, &override);
    QCOMPARE(override.isAccepted(), takesSpace);
    if (widget == QLatin1String("btnSnapshot")) {
        QTest::keyClick(target, Qt::Key_Space);
        QCOMPARE(W->Doc().Store().TraceCount, 2);
    }
}

void TestKeys::listenControlsAreReachedWithTab()
{
    TListenBar *bar = W->ListenBar();
    const QList<QWidget *> controls{bar->widgetForAction(bar->PlayAction()), bar->SourceBox(), bar->LoopBox(),
                                    bar->widgetForAction(bar->BypassAction()), bar->LevelSlider()};
    for (QWidget *control : controls)
        QVERIFY2(control->focusPolicy() & Qt::TabFocus, qPrintable(control->objectName()));
}

QTEST_MAIN(TestKeys)
#include "test_keys.moc"
