// The response plot: pixel mapping, scale rule, colour cycle, widget state
// across resizes and repaints, cursor readout and rendering without a widget.

#include <algorithm>
#include <cmath>
#include <limits>

#include <QImage>
#include <QLocale>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

#include "plot/CursorReadout.h"
#include "plot/PlotColours.h"
#include "plot/PlotGeometry.h"
#include "plot/PlotPainter.h"
#include "plot/PlotScale.h"
#include "plot/Plotter.h"

using namespace cva;

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double Inf = std::numeric_limits<double>::infinity();
const double AxisEndHz = std::pow(10.0, 4.46875);

// Straight line over the grid index from `first` at 10 Hz to `last`.
void FillRamp(TTrace &trace, double first, double last)
{
    for (int k = 0; k < GridPoints; ++k)
        trace[k] = first + (last - first) * k / (GridPoints - 1);
}

void FillFlat(TTrace &trace, double db)
{
    trace.fill(db);
}

TColor PixelAt(const QImage &image, int x, int y)
{
    return FromQColor(image.pixelColor(x, y));
}

} // namespace

class TestPlot : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void freqToXAt407x417_data();
    void freqToXAt407x417();
    void dbToYAt407x417_data();
    void dbToYAt407x417();
    void dbToYKeepsNaNInsideFrame();

    void autoScaleFitsTraces_data();
    void autoScaleFitsTraces();
    void autoScaleSkipsNonFiniteValues();
    void autoScaleReadsOnlyTracesInUse();

    void colourCycleFromNewControl();
    void setTraceColourKeepsCyclePosition();
    void nextColourRepaintsAtOnce();
    void resizeKeepsColourAndRebuildsGrid();
    void autoScaleOffRestoresFixedScale();
    void paintDrawsTracesOnBlack();

    void cursorReadout_data();
    void cursorReadout();
    void curvesReadoutListsEveryShownCurve();
    void renderPlotWithoutWidget();
    void labelsOnlyWhereTheyFit();
};

void TestPlot::freqToXAt407x417_data()
{
    QTest::addColumn<double>("frequency");
    QTest::addColumn<int>("x");
    QTest::newRow("10 Hz, frame left") << 10.0 << 40;
    QTest::newRow("100 Hz") << 100.0 << 143;
    QTest::newRow("1 kHz") << 1000.0 << 246;
    QTest::newRow("10 kHz") << 10000.0 << 350;
    QTest::newRow("30 kHz") << 30000.0 << 399;
    QTest::newRow("axis end, frame right") << AxisEndHz << 399;
}

void TestPlot::freqToXAt407x417()
{
    QFETCH(double, frequency);
    QFETCH(int, x);
    const TPlotGeometry geometry{407, 417};
    QCOMPARE(geometry.FreqToX(frequency), x);
    QCOMPARE(BuildGridX(geometry).back(), geometry.FrameRight());
}

void TestPlot::dbToYAt407x417_data()
{
    QTest::addColumn<double>("db");
    QTest::addColumn<int>("y");
    QTest::newRow("0 dB, frame top") << 0.0 << 8;
    QTest::newRow("-10 dB") << -10.0 << 85;
    QTest::newRow("-25 dB") << -25.0 << 200;
    QTest::newRow("-50 dB, frame bottom") << -50.0 << 393;
    QTest::newRow("+3 dB clamps to top") << 3.0 << 8;
    QTest::newRow("-70 dB clamps to bottom") << -70.0 << 393;
    QTest::newRow("+inf clamps to top") << Inf << 8;
    QTest::newRow("-inf clamps to bottom") << -Inf << 393;
}

void TestPlot::dbToYAt407x417()
{
    QFETCH(double, db);
    QFETCH(int, y);
    QCOMPARE((TPlotGeometry{407, 417}.DBToY(db, TPlotScale{})), y);
}

void TestPlot::dbToYKeepsNaNInsideFrame()
{
    const TPlotGeometry geometry{407, 417};
    const int y = geometry.DBToY(NaN, TPlotScale{});
    QVERIFY(y >= geometry.FrameTop && y <= geometry.FrameBottom());
}

void TestPlot::autoScaleFitsTraces_data()
{
    QTest::addColumn<double>("atTenHz");
    QTest::addColumn<double>("high");
    QTest::addColumn<double>("low");
    QTest::addColumn<int>("top");
    QTest::addColumn<int>("bottom");
    QTest::newRow("-3.3 .. -30.5") << -3.3 << -3.3 << -30.5 << -2 << -32;
    QTest::newRow("-2 .. -18") << -2.0 << -2.0 << -18.0 << -2 << -18;
    QTest::newRow("positive peak") << 5.3 << 5.3 << -31.99 << 4 << -32;
    QTest::newRow("10 Hz point above") << 20.0 << -3.3 << -30.5 << -2 << -32;
    QTest::newRow("10 Hz point below") << -90.0 << -3.3 << -30.5 << -2 << -32;
    // A flat response would leave the scale without height.
    QTest::newRow("flat at 0 dB") << 0.0 << 0.0 << 0.0 << 0 << -2;
    QTest::newRow("flat at -6 dB") << -6.0 << -6.0 << -6.0 << -6 << -8;
}

void TestPlot::autoScaleFitsTraces()
{
    QFETCH(double, atTenHz);
    QFETCH(double, high);
    QFETCH(double, low);
    QFETCH(int, top);
    QFETCH(int, bottom);
    TTraceStore store;
    FillRamp(store.Traces[0], high, low);
    store.Traces[0][0] = atTenHz;
    TPlotScale scale;
    scale.AutoYScale = true;

    QVERIFY(UpdateYRange(scale, store));
    QCOMPARE(scale.PlotTopDB, top);
    QCOMPARE(scale.PlotBottomDB, bottom);
    QCOMPARE(scale.PlotRangeDB, top - bottom);
    QVERIFY(!UpdateYRange(scale, store));

    const TPlotGeometry geometry{407, 417};
    QCOMPARE(geometry.DBToY(top, scale), geometry.FrameTop);
    QCOMPARE(geometry.DBToY(bottom, scale), geometry.FrameBottom());
}

void TestPlot::autoScaleSkipsNonFiniteValues()
{
    TTraceStore store;
    FillRamp(store.Traces[0], -3.3, -30.5);
    store.Traces[0][100] = NaN;
    store.Traces[0][200] = Inf;
    store.Traces[0][300] = -Inf;
    TPlotScale scale;
    scale.AutoYScale = true;
    UpdateYRange(scale, store);
    QCOMPARE(scale.PlotTopDB, -2);
    QCOMPARE(scale.PlotBottomDB, -32);

    // With nothing to fit, the fixed scale stands.
    store.Traces[0].fill(NaN);
    UpdateYRange(scale, store);
    QCOMPARE(scale.PlotTopDB, 0);
    QCOMPARE(scale.PlotBottomDB, -50);
    QCOMPARE(scale.PlotRangeDB, 50);
}

void TestPlot::autoScaleReadsOnlyTracesInUse()
{
    TTraceStore store;
    FillFlat(store.Traces[0], -5);
    FillRamp(store.Traces[1], -20, -40);
    FillFlat(store.Traces[2], -90); // left over from before a Clear
    store.TraceCount = 2;
    TPlotScale scale;
    scale.AutoYScale = true;
    UpdateYRange(scale, store);
    QCOMPARE(scale.PlotTopDB, -4);
    QCOMPARE(scale.PlotBottomDB, -40);
}

void TestPlot::colourCycleFromNewControl()
{
    TTraceStore store;
    TPlotScale scale;
    TPlotter plotter(store, scale);
    QCOMPARE(plotter.TraceColour(), clLime);
    QCOMPARE(plotter.ColourIndex(), 0);

    const TColor expected[] = {clBlue, clCream, clFuchsia, clSkyBlue, clLime,  clSilver,
                               clMoneyGreen, clRed, clWhite, clYellow, clAqua, clBlue};
    for (TColor colour : expected) {
        plotter.NextColour();
        QCOMPARE(plotter.TraceColour(), colour);
    }
    QCOMPARE(plotter.ColourIndex(), 1); // eleven steps came back round
}

void TestPlot::setTraceColourKeepsCyclePosition()
{
    TTraceStore store;
    TPlotScale scale;
    TPlotter plotter(store, scale);
    plotter.NextColour();
    plotter.NextColour();
    plotter.SetTraceColour(clRed);
    QCOMPARE(plotter.TraceColour(), clRed);
    QCOMPARE(plotter.ColourIndex(), 2);
    plotter.NextColour();
    QCOMPARE(plotter.TraceColour(), clFuchsia);
}

void TestPlot::nextColourRepaintsAtOnce()
{
    TTraceStore store;
    TPlotScale scale;
    TPlotter plotter(store, scale);
    plotter.resize(407, 417);
    plotter.show();
    QVERIFY(QTest::qWaitForWindowExposed(&plotter));

    plotter.NextColour();
    // Only a paint writes the live colour into the store.
    QCOMPARE(store.TraceColours[0], clBlue);
}

void TestPlot::resizeKeepsColourAndRebuildsGrid()
{
    TTraceStore store;
    FillFlat(store.Traces[0], -10);
    TPlotScale scale;
    TPlotter plotter(store, scale);
    plotter.resize(407, 417);
    plotter.show(); // a hidden widget gets its resize events only when shown
    for (int i = 0; i < 3; ++i)
        plotter.NextColour();
    plotter.SetTraceColour(clRed);
    const int y = plotter.DBToY(-10);
    QCOMPARE(PixelAt(plotter.grab().toImage(), 403, y), clBlack); // right of the frame
    QVERIFY(plotter.BackgroundValid());

    plotter.resize(507, 467);
    QCOMPARE(plotter.TraceColour(), clRed);
    QCOMPARE(plotter.ColourIndex(), 3);
    QCOMPARE(plotter.FreqToX(AxisEndHz), 507 - 8);
    QVERIFY(!plotter.BackgroundValid());

    // The live trace reaches the new right edge, over the silver -10 dB line.
    const QImage image = plotter.grab().toImage();
    QCOMPARE(image.size(), QSize(507, 467));
    QCOMPARE(PixelAt(image, 497, plotter.DBToY(-10)), clRed);
}

void TestPlot::autoScaleOffRestoresFixedScale()
{
    TTraceStore store;
    FillRamp(store.Traces[0], -3.3, -30.5);
    TPlotScale scale;
    scale.AutoYScale = true;
    TPlotter plotter(store, scale);
    plotter.resize(407, 417);
    plotter.grab();
    QCOMPARE(scale.PlotTopDB, -2);
    QCOMPARE(scale.PlotBottomDB, -32);
    QVERIFY(plotter.BackgroundValid());

    scale.AutoYScale = false;
    plotter.UpdateYRange();
    QCOMPARE(scale.PlotTopDB, 0);
    QCOMPARE(scale.PlotBottomDB, -50);
    QVERIFY(!plotter.BackgroundValid());
    plotter.grab();
    QVERIFY(plotter.BackgroundValid());
}

void TestPlot::paintDrawsTracesOnBlack()
{
    TTraceStore store;
    FillFlat(store.Traces[0], -10);
    std::fill(store.Traces[0].begin() + 300, store.Traces[0].begin() + 350, NaN);
    FillFlat(store.Traces[1], -30);
    store.TraceColours[1] = clRed;
    store.TraceCount = 2;
    TPlotScale scale;
    TPlotter plotter(store, scale);
    plotter.resize(407, 417);
    plotter.SetTraceColour(clYellow);

    const QImage image = plotter.grab().toImage();
    QCOMPARE(PixelAt(image, 100, 50), clBlack);
    QCOMPARE(PixelAt(image, 200, 85), clYellow);
    QCOMPARE(PixelAt(image, 200, plotter.DBToY(-30)), clRed);
    QCOMPARE(store.TraceColours[0], clYellow);

    // Around the missing point the live trace breaks, uncovering the grid line.
    const int gapX = plotter.FreqToX(GridFrequency(GridFirstStep + 325));
    QCOMPARE(PixelAt(image, gapX, 85), clSilver);
    QCOMPARE(PixelAt(image, gapX, plotter.Geometry().FrameTop), clSilver);

    // Labels in the left margin.
    bool labelled = false;
    for (int y = 0; y < image.height() && !labelled; ++y)
        for (int x = 0; x < plotter.Geometry().FrameLeft - 3 && !labelled; ++x)
            labelled = PixelAt(image, x, y) != clBlack;
    QVERIFY(labelled);
}

void TestPlot::cursorReadout_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("text");
    QTest::newRow("C") << QLocale::c() << QStringLiteral("1.00 kHz   -25.60 dB   -51.2\u00b0   2.560 ms");
    QTest::newRow("German") << QLocale(QLocale::German, QLocale::Germany)
                            << QStringLiteral("1,00 kHz   -25,60 dB   -51,2\u00b0   2,560 ms");
}

void TestPlot::cursorReadout()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, text);
    QLocale::setDefault(locale);
    TTraceStore store;
    FillRamp(store.Traces[0], 0, -44.4); // -k/10 dB at grid point k; 1 kHz is k = 256
    FillRamp(store.Quantities[0].PhaseDeg, 0, -88.8);
    FillRamp(store.Quantities[0].GroupDelayS, 0, 4.44e-3);
    TPlotScale scale;
    TPlotter plotter(store, scale);
    // At this width 1 kHz falls exactly on the left edge of a pixel column.
    plotter.resize(381, 417);
    plotter.show();
    QVERIFY(QTest::qWaitForWindowExposed(&plotter));
    QSignalSpy readouts(&plotter, &TPlotter::CursorReadout);
    // Qt drops a move to where the pointer already is, so start off the frame.
    QTest::mouseMove(&plotter, QPoint(0, 0));

    const int x = plotter.FreqToX(1000);
    QTest::mouseMove(&plotter, QPoint(x, 200));
    QVERIFY(!readouts.isEmpty());
    QCOMPARE(readouts.last().at(0).toString(), text);

    QTest::mouseMove(&plotter, QPoint(x, 4)); // above the frame
    QCOMPARE(readouts.last().at(0).toString(), QString());

    QTest::mouseMove(&plotter, QPoint(x, 200));
    QCOMPARE(readouts.last().at(0).toString(), text);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&plotter, &leave);
    QCOMPARE(readouts.last().at(0).toString(), QString());
}

void TestPlot::curvesReadoutListsEveryShownCurve()
{
    TTraceStore store;
    FillRamp(store.Traces[0], 0, -44.4); // -25.6 dB at 1 kHz
    FillRamp(store.Quantities[0].PhaseDeg, 0, -88.8);
    store.Labels[0] = "Bassman";
    QCOMPARE(CurvesReadoutText(store, 1000), QString()); // the status line says it all
    store.Snapshot("Bassman");
    FillFlat(store.Traces[0], -6);
    // An engine failure leaves the live curve without phase and delay.
    FillFlat(store.Quantities[0].PhaseDeg, NaN);
    FillFlat(store.Quantities[0].GroupDelayS, NaN);
    store.Labels[0] = "JCM800";
    store.Snapshot("Hidden");
    store.Hidden[1] = true;
    QCOMPARE(CurvesReadoutText(store, 1000), QStringLiteral("1.00 kHz\n"
                                                           "JCM800 (live):   -6.00 dB\n"
                                                           "Bassman:   -25.60 dB   -51.2\u00b0   0.000 ms"));
}

void TestPlot::renderPlotWithoutWidget()
{
    TTraceStore store;
    FillRamp(store.Traces[0], -3.3, -30.5);
    TPlotScale scale;
    scale.AutoYScale = true;
    QImage image(407, 417, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        RenderPlot(painter, image.size(), store, scale, clLime);
    }
    QCOMPARE(scale.PlotTopDB, -2);
    QCOMPARE(image.pixelColor(0, 0), QColor(Qt::black));
    QCOMPARE(image.pixelColor(406, 416), QColor(Qt::black));
    const TPlotGeometry geometry{407, 417};
    QCOMPARE(PixelAt(image, 40, geometry.DBToY(-3.3, scale)), clLime);
}

void TestPlot::labelsOnlyWhereTheyFit()
{
    // Over many plot sizes, scales and label sizes: every label kept lies
    // whole inside the picture and clear of every other, and a plot of the
    // window's size keeps them all.
    for (int pointSize : {6, 8, 12, 20}) {
        QFont font = PlotLabelFont();
        font.setPointSize(pointSize);
        const QFontMetrics metrics(font);
        for (const auto &[top, bottom] : {std::pair{0, -50}, {-2, -32}, {-2, -18}, {0, -8}}) {
            TPlotScale scale;
            scale.PlotTopDB = top;
            scale.PlotBottomDB = bottom;
            scale.PlotRangeDB = top - bottom;
            for (int w = 20; w <= 820; w += 40) {
                for (int h = 10; h <= 610; h += 30) {
                    const TPlotGeometry geometry = PlotGeometry(QSize(w, h), scale, metrics);
                    const std::vector<TPlotLabel> labels = PlotLabels(geometry, scale, metrics);
                    for (std::size_t i = 0; i < labels.size(); ++i) {
                        QVERIFY(QRect(0, 0, w, h).contains(labels[i].Box));
                        for (std::size_t j = i + 1; j < labels.size(); ++j)
                            QVERIFY2(!labels[i].Box.intersects(labels[j].Box),
                                     qPrintable(labels[i].Text + " / " + labels[j].Text));
                    }
                }
            }
        }
        if (pointSize <= 12) {
            const TPlotScale scale;
            QCOMPARE(PlotLabels(PlotGeometry(QSize(407, 417), scale, metrics), scale, metrics).size(), std::size_t(10));
        }
    }
}

QTEST_MAIN(TestPlot)
#include "test_plot.moc"
