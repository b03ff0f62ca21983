// The schematic drawings and the pages built on them: every component of a
// topology is drawn with a place for its value, none of another topology's
// is, and a double-click on each component reaches that component.

#include <QSignalSpy>
#include <QSvgRenderer>
#include <QTest>

#include "pages/BuiltInCircuits.h"
#include "TestWindow.h"

using namespace cva;
using namespace cva::test;


namespace {

QString Name(std::string_view text)
{
    return QString::fromLatin1(text.data(), int(text.size()));
}

QString Describe(const QRect &r)
{
    return QStringLiteral("(%1, %2, %3 x %4)").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

} // namespace

class TestSchematics : public QObject {
    Q_OBJECT

private slots:
    void drawingHasExactlyItsOwnComponents_data();
    void drawingHasExactlyItsOwnComponents();
    void areasAndLabelsLieInsideDrawing_data();
    void areasAndLabelsLieInsideDrawing();
    void doubleClickReachesEachComponent_data();
    void doubleClickReachesEachComponent();

private:
    void AddTopologyRows();
};

void TestSchematics::AddTopologyRows()
{
    QTest::addColumn<int>("topology");
    for (const TCircuitDef &info : BuiltInCircuits())
        QTest::newRow(info.TabCaption.data()) << PageNamed(info.TabCaption);
}

void TestSchematics::drawingHasExactlyItsOwnComponents_data()
{
    AddTopologyRows();
}

void TestSchematics::drawingHasExactlyItsOwnComponents()
{
    QFETCH(int, topology);
    QSvgRenderer drawing(TSchematicPage::DrawingResource(TCatalogue().Page(topology)));
    QVERIFY(drawing.isValid());
    for (const TCircuitDef &info : BuiltInCircuits())
        for (const TComponentDefault &part : info.Components) {
            const QString symbol = Name(part.Name);
            const bool own = PageNamed(info.TabCaption) == topology;
            QVERIFY2(drawing.elementExists(symbol) == own, qPrintable(symbol));
            QVERIFY2(drawing.elementExists(symbol + "-value") == own, qPrintable(symbol + "-value"));
        }
}

void TestSchematics::areasAndLabelsLieInsideDrawing_data()
{
    AddTopologyRows();
}

void TestSchematics::areasAndLabelsLieInsideDrawing()
{
    QFETCH(int, topology);
    // The page as the window sizes it, so that a clipped label shows.
    TTestWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.Pages()->setCurrentIndex(int(topology));
    const TSchematicPage &page = *window.Page(topology);
    const QStringList symbols = page.Symbols();
    QCOMPARE(symbols.size(), int(TCatalogue().Page(topology).Components.size()));
    for (const QString &symbol : symbols) {
        const QRectF area = page.Area(symbol);
        QVERIFY2(!area.isEmpty(), qPrintable(symbol));
        QVERIFY2(page.DrawingRect().contains(area), qPrintable(symbol));
        const QRect label = page.ValueLabel(symbol)->geometry();
        QVERIFY2(page.rect().contains(label), qPrintable(symbol + " label " + Describe(label)));
    }
    // Two value labels on top of each other would hide one of them.
    for (int i = 0; i < symbols.size(); ++i)
        for (int j = i + 1; j < symbols.size(); ++j) {
            const QRect a = page.ValueLabel(symbols[i])->geometry();
            const QRect b = page.ValueLabel(symbols[j])->geometry();
            QVERIFY2(!a.intersects(b), qPrintable(symbols[i] + " and " + symbols[j]));
        }
}

void TestSchematics::doubleClickReachesEachComponent_data()
{
    AddTopologyRows();
}

void TestSchematics::doubleClickReachesEachComponent()
{
    QFETCH(int, topology);
    TSchematicPage page(TCatalogue().Page(topology));
    page.resize(297, 280);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    QSignalSpy activated(&page, &TSchematicPage::ComponentActivated);
    for (const QString &symbol : page.Symbols()) {
        activated.clear();
        DoubleClickAt(&page, page.Area(symbol).center().toPoint());
        QVERIFY2(activated.size() == 1, qPrintable(symbol));
        QCOMPARE(activated.first().first().toString(), symbol);

        // Its value label edits it too.
        activated.clear();
        TValueLabel *label = page.ValueLabel(symbol);
        QTest::mouseDClick(label, Qt::LeftButton, {}, label->rect().center());
        QCOMPARE(activated.size(), 1);
        QCOMPARE(activated.first().first().toString(), symbol);
    }
    // Blank paper edits nothing.
    activated.clear();
    DoubleClickAt(&page, QPoint(2, 2));
    QCOMPARE(activated.size(), 0);
}

QTEST_MAIN(TestSchematics)
#include "test_schematics.moc"
