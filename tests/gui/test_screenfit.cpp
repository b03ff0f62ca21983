// The window on a small screen, as CTest runs it: 1024 x 600 at 120 dpi, and
// 1400 x 900 at double scale. It opens inside the screen's free area with its
// frame, its smallest size fits there, a size saved on a larger screen comes
// back inside it, and the schematic grows with the window, every component
// still under its double-click.

#include <QScreen>
#include <QSettings>
#include <QSignalSpy>

#include "TestWindow.h"

using namespace cva;
using namespace cva::test;

class TestScreenFit : public QObject {
    Q_OBJECT

private slots:
    void WindowFitsTheScreen_data();
    void WindowFitsTheScreen();
    void SchematicGrowsWithTheWindow();
};

void TestScreenFit::WindowFitsTheScreen_data()
{
    QTest::addColumn<QSize>("saved");
    QTest::newRow("first start") << QSize();
    QTest::newRow("saved on a large screen") << QSize(2500, 1600);
}

void TestScreenFit::WindowFitsTheScreen()
{
    QFETCH(QSize, saved);
    TTestWindow window;
    if (saved.isValid()) {
        QSettings().setValue("Window/Size", saved);
        window.RestoreWindowSize();
    }
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QRect available = window.screen()->availableGeometry();
    const auto describe = [](const QRect &r) { return QStringLiteral("%1,%2 %3 x %4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height()); };
    QVERIFY2(available.contains(window.frameGeometry()),
             qPrintable(describe(window.frameGeometry()) + " on " + describe(available)));
    const QSize frame = window.frameGeometry().size() - window.size();
    const QSize smallest = window.minimumSizeHint().expandedTo(window.minimumSize()) + frame;
    QVERIFY2(smallest.width() <= available.width() && smallest.height() <= available.height(),
             qPrintable(QStringLiteral("%1 x %2").arg(smallest.width()).arg(smallest.height())));
}

void TestScreenFit::SchematicGrowsWithTheWindow()
{
    TTestWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    TSchematicPage *page = window.Page(0);
    const double opened = page->DrawingRect().width();
    window.resize(window.size() * 3 / 2);
    QTRY_VERIFY(page->DrawingRect().width() > opened * 1.2);
    // The page alone: the window's edit dialogs are not under test here.
    QObject::disconnect(page, &TSchematicPage::ComponentActivated, &window, nullptr);
    QSignalSpy activated(page, &TSchematicPage::ComponentActivated);
    for (const QString &symbol : page->Symbols()) {
        DoubleClickAt(page, page->Area(symbol).center().toPoint());
        QVERIFY2(!activated.isEmpty() && activated.takeLast().first().toString() == symbol, qPrintable(symbol));
    }
}

QTEST_MAIN(TestScreenFit)
#include "test_screenfit.moc"
