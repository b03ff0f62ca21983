// The legend: which traces it lists, that it keeps off the curves where it
// can, that it is dragged alike in every view, and that the screen picture,
// the exported picture and the printed page all carry it.

#include <QImage>
#include <QPainter>
#include <QTest>

#include "plot/PlotColours.h"
#include "plot/PlotLegend.h"
#include "plot/PlotPainter.h"
#include "plot/Plotter.h"
#include "plot/QuantityView.h"
#include "plot/TracePens.h"

using namespace cva;

namespace {

// Live trace and one snapshot, both flat at `db`; the snapshot labelled.
TTraceStore TwoFlatTraces(double db, const std::string &label = "Bassman")
{
    TTraceStore store;
    store.Traces[0].fill(db);
    store.Snapshot(label);
    return store;
}

QRect LegendOn(QImage &image, const TTraceStore &store)
{
    const TPlotGeometry geometry{image.width(), image.height()};
    TPlotScale scale;
    QPainter painter(&image);
    return DrawPlotLegend(painter, geometry, BuildGridX(geometry), scale, store, clLime);
}

} // namespace

class TestLegend : public QObject {
    Q_OBJECT

private slots:
    void listsLiveAndShownSnapshotsOnly();
    void keepsOffTheCurves();
    void screenAndExportedPictureCarryIt();
    void draggedLegendStaysWhereItIsPut_data();
    void draggedLegendStaysWhereItIsPut();
    void curvesSharingAColourAreDashedEachInItsOwnWay_data();
    void curvesSharingAColourAreDashedEachInItsOwnWay();
};

void TestLegend::listsLiveAndShownSnapshotsOnly()
{
    auto labels = [](const TTraceStore &store) {
        QStringList result;
        for (const TLegendEntry &entry : LegendEntries(store, [](int) { return QPen(); }))
            result << entry.Label;
        return result;
    };
    TTraceStore store;
    QCOMPARE(labels(store), QStringList()); // a lone live curve needs no legend
    store.Snapshot("First");
    store.Snapshot("Second");
    store.Labels[0] = "JCM800 2203";
    QCOMPARE(labels(store), (QStringList{"JCM800 2203 (live)", "Second", "First"}));
    store.Hidden[1] = true;
    store.Labels[0].clear();
    QCOMPARE(labels(store), (QStringList{"Live", "First"}));
    store.Hidden[2] = true;
    QCOMPARE(labels(store), QStringList());
}

void TestLegend::keepsOffTheCurves()
{
    // Curves high up send the legend to the bottom, curves low down to the
    // top; it always stays inside the frame.
    for (double db : {-3.0, -45.0}) {
        QImage image(407, 417, QImage::Format_RGB32);
        image.fill(Qt::black);
        const QRect box = LegendOn(image, TwoFlatTraces(db));
        const TPlotGeometry geometry{407, 417};
        const QRect frame(QPoint(geometry.FrameLeft, geometry.FrameTop), QPoint(geometry.FrameRight(), geometry.FrameBottom()));
        QVERIFY(frame.contains(box));
        const int curveY = geometry.DBToY(db, TPlotScale{});
        QVERIFY2(box.top() > curveY || box.bottom() < curveY, qPrintable(QString::number(db)));
        QCOMPARE(box.right() > frame.center().x(), true); // the right side on a tie
    }
}

void TestLegend::screenAndExportedPictureCarryIt()
{
    // The whole plot as screen and export draw it: the legend box is framed
    // in the label colour and holds text.
    const TTraceStore store = TwoFlatTraces(-20, "A rather long label");
    QImage image(407, 417, QImage::Format_RGB32);
    TPlotScale scale;
    {
        QPainter painter(&image);
        RenderPlot(painter, image.size(), store, scale, clLime);
    }
    QImage bare(407, 417, QImage::Format_RGB32);
    const QRect box = LegendOn(bare, store);
    QVERIFY(!box.isEmpty());
    QCOMPARE(image.pixelColor(box.topLeft()), QColor(192, 192, 192));
    QCOMPARE(image.pixelColor(box.bottomRight()), QColor(192, 192, 192));
    int lit = 0;
    for (int x = box.center().x(); x < box.right(); ++x)
        for (int y = box.top() + 2; y < box.bottom() - 1; ++y)
            lit += image.pixelColor(x, y) != QColor(Qt::black);
    QVERIFY(lit > 10);
}

void TestLegend::draggedLegendStaysWhereItIsPut_data()
{
    QTest::addColumn<bool>("gain"); // or the phase view
    QTest::newRow("gain") << true;
    QTest::newRow("phase") << false;
}

void TestLegend::draggedLegendStaysWhereItIsPut()
{
    QFETCH(bool, gain);
    const TTraceStore shown = TwoFlatTraces(-20);
    TTraceStore store = shown;
    TPlotScale scale;
    TPlotter plotter(store, scale);
    TQuantityView phase(store, [] { return clLime; });
    QWidget *view = gain ? static_cast<QWidget *>(&plotter) : &phase;
    const auto legendBox = [&] { return gain ? plotter.LegendBox() : phase.LegendBox(); };
    view->resize(407, 417);
    view->grab();
    const QRect before = legendBox();
    QVERIFY(!before.isEmpty());
    const TPlotGeometry geometry = gain ? plotter.Geometry() : phase.Frame().Geometry;
    const QRect frame(QPoint(geometry.FrameLeft, geometry.FrameTop), QPoint(geometry.FrameRight(), geometry.FrameBottom()));
    // Moved as far as it is dragged; dragged beyond the frame, it stops inside it.
    const std::vector<std::pair<QPoint, bool>> drags{{{-150, 200}, true}, {{-2000, -2000}, false}};
    for (const auto &[shift, exact] : drags) {
        const QPoint grab = legendBox().center();
        const QPoint from = legendBox().topLeft();
        QTest::mousePress(view, Qt::LeftButton, {}, grab);
        QTest::mouseMove(view, grab + shift);
        QTest::mouseRelease(view, Qt::LeftButton, {}, grab + shift);
        view->grab();
        if (exact)
            QCOMPARE(legendBox().topLeft(), from + shift);
        QVERIFY(frame.contains(legendBox()));
    }
    QVERIFY(legendBox().left() < before.left());

    // A picture of the plot at the same size shows it in the same place.
    QImage image(view->size(), QImage::Format_RGB32);
    {
        QPainter painter(&image);
        if (gain)
            RenderPlot(painter, image.size(), shown, scale, clLime, plotter.Extras());
        else
            RenderQuantityPlot(painter, image.size(), shown, TQuantity::Phase, false, clLime, phase.Extras());
    }
    QCOMPARE(image.pixelColor(legendBox().topLeft()), QColor(192, 192, 192));
}

void TestLegend::curvesSharingAColourAreDashedEachInItsOwnWay_data()
{
    // Snapshot colours from the newest (slot 1) on; the live curve is lime.
    QTest::addColumn<QList<TColor>>("snapshots");
    QTest::addColumn<QList<bool>>("dashed"); // slot 1 on
    QTest::newRow("all lime, as with cycling off") << QList<TColor>{clLime, clLime} << QList<bool>{true, true};
    QTest::newRow("all their own") << QList<TColor>{clRed, clAqua} << QList<bool>{false, false};
    QTest::newRow("two red") << QList<TColor>{clRed, clAqua, clRed} << QList<bool>{true, false, true};
}

void TestLegend::curvesSharingAColourAreDashedEachInItsOwnWay()
{
    QFETCH(QList<TColor>, snapshots);
    QFETCH(QList<bool>, dashed);
    TTraceStore store;
    for (qsizetype n = snapshots.size() - 1; n >= 0; --n) {
        store.Snapshot("S");
        store.TraceColours[1] = snapshots[n];
    }
    QCOMPARE(ScreenTracePen(store, 0, clLime).style(), Qt::SolidLine); // the live curve
    QList<QVector<qreal>> patterns;
    for (int slot = 1; slot < store.TraceCount; ++slot) {
        const QPen pen = ScreenTracePen(store, slot, clLime);
        QCOMPARE(pen.color(), ToQColor(snapshots[slot - 1]));
        QCOMPARE(pen.style() == Qt::CustomDashLine, dashed[slot - 1]);
        if (dashed[slot - 1]) {
            QVERIFY(!patterns.contains(pen.dashPattern()));
            patterns << pen.dashPattern();
        }
    }
    // The legend draws each curve's sample in the curve's own pen.
    const auto entries = LegendEntries(store, [&](int slot) { return ScreenTracePen(store, slot, clLime); });
    for (int slot = 1; slot < store.TraceCount; ++slot)
        QCOMPARE(entries[slot].Pen, ScreenTracePen(store, slot, clLime));
}

QTEST_MAIN(TestLegend)
#include "test_legend.moc"
