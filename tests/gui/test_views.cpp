// What the plot shows: the choice of view, snapshots in every view, the
// readout, the response map with its marker, bad input, and pictures,
// tables and pages of a view other than gain.

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <random>

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

#include "TestWindow.h"
#include "document/ResponseMap.h"
#include "plot/ControlSummary.h"
#include "plot/CursorReadout.h"
#include "plot/PlotColours.h"
#include "plot/PlotPainter.h"
#include "plot/Plotter.h"
#include "plot/Printout.h"
#include "plot/QuantityAxis.h"
#include "plot/QuantityView.h"
#include "plot/ResponseMapView.h"

using namespace cva;
using namespace cva::test;

namespace {

TResponseCurves EngineCurves(const TCircuit &circuit)
{
    TResponseCurves curves;
    CalcEngineCurves(circuit, curves);
    return curves;
}

QImage Picture(const TPlotRender &render, QSize size = {407, 417})
{
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    render(painter, size);
    return image;
}

int CountColour(const QImage &image, QColor colour)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixelColor(x, y) == colour;
    return count;
}

} // namespace

class TestViews : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup() { W.reset(); }

    void plotMenuSwitchesTheViewShown();
    void snapshotsKeepEveryQuantity();
    void readoutShowsGainPhaseAndGroupDelay();
    void fittedAxesHoldEveryValueOnWholeSteps();
    void responseMapFollowsEveryChangeWithItsMarker();
    void mapsOfferOnlyThePagesControls();
    void circuitTheEngineCannotSolve();
    void circuitWithoutACurveSaysWhyAndKeepsNothing();
    void exportAndPrintFollowTheViewShown();
    void copyAndMarkersFollowTheViewShown();
    void legendToggleHidesItInEveryView();

private:
    std::unique_ptr<TTestWindow> W;
    std::unique_ptr<QTemporaryDir> Dir;
};

void TestViews::init()
{
    Dir = std::make_unique<QTemporaryDir>();
    W = std::make_unique<TTestWindow>();
    W->show();
    QVERIFY(QTest::qWaitForWindowExposed(W.get()));
}

void TestViews::plotMenuSwitchesTheViewShown()
{
    const struct {
        const char *Action;
        TPlotView View;
        QWidget *Widget;
    } items[] = {
        {"actPlotViewPhase", TPlotView::Phase, W->Views().QuantityView()},
        {"actPlotViewGroupDelay", TPlotView::GroupDelay, W->Views().QuantityView()},
        {"actPlotViewImpedance", TPlotView::Impedance, W->Views().QuantityView()},
        {"actPlotViewMapMid", TPlotView::ResponseMap, W->Views().ResponseMapView()},
        {"actPlotViewGain", TPlotView::Gain, W->Plotter()},
    };
    QCOMPARE(W->Views().PlotView(), TPlotView::Gain);
    for (const auto &item : items) {
        W->Action(item.Action)->trigger();
        QCOMPARE(W->Views().PlotView(), item.View);
        QCOMPARE(W->Views().ShownView(), item.Widget);
        QVERIFY(item.Widget->isVisible());
        QVERIFY(W->Action(item.Action)->isChecked());
    }
    QCOMPARE(W->Views().QuantityView()->Quantity(), TQuantity::Impedance);
    QCOMPARE(W->Views().MapSlider(), BuiltInControl::Mid);
    QVERIFY(W->Errors.isEmpty());
}

void TestViews::snapshotsKeepEveryQuantity()
{
    W->Pages()->setCurrentIndex(int(PageNamed("Bench")));
    W->Views().SetPlotView(TPlotView::Phase);
    W->Traces().SnapshotButton()->click();
    W->Slider(BuiltInControl::Treble)->setValue(90);

    const TTraceStore &store = W->Doc().Store();
    const TResponseCurves before = EngineCurves(CircuitAt(PageNamed("Bench"), 50, 50, 50));
    const TResponseCurves after = EngineCurves(CircuitAt(PageNamed("Bench"), 50, 50, 90));
    QCOMPARE(store.TraceCount, 2);
    QCOMPARE(store.Quantities[1].PhaseDeg, before.PhaseDeg);
    QCOMPARE(store.Quantities[1].GroupDelayS, before.GroupDelayS);
    QCOMPARE(store.Quantities[1].ImpedanceOhm, before.ImpedanceOhm);
    QCOMPARE(store.Quantities[0].PhaseDeg, after.PhaseDeg);

    // Each view draws the snapshot in its own colour under the live trace.
    W->Views().SetPlotView(TPlotView::GroupDelay);
    W->Plotter()->SetTraceColour(clRed);
    W->Slider(BuiltInControl::Treble)->setValue(10);
    const QImage shown = W->Views().ShownView()->grab().toImage();
    QVERIFY(CountColour(shown, ToQColor(clLime)) > 100);
    QVERIFY(CountColour(shown, ToQColor(clRed)) > 100);

    // A hidden snapshot is drawn in none of them, nor does it stretch the axis.
    W->Traces().SetSnapshotShown(1, false);
    W->Action("Autoscale1")->trigger();
    for (TPlotView view : {TPlotView::Phase, TPlotView::GroupDelay, TPlotView::Impedance}) {
        W->Views().SetPlotView(view);
        const QImage hidden = W->Views().ShownView()->grab().toImage();
        QCOMPARE(CountColour(hidden, ToQColor(clLime)), 0);
        TTraceStore alone = store;
        alone.TraceCount = 1;
        TQuantityView lone(alone, [] { return clRed; });
        lone.resize(W->Views().ShownView()->size());
        lone.SetQuantity(W->Views().QuantityView()->Quantity());
        lone.SetPhaseAutoScale(true);
        QCOMPARE(lone.grab().toImage(), hidden);
    }
}

void TestViews::readoutShowsGainPhaseAndGroupDelay()
{
    W->Views().SetPlotView(TPlotView::Phase);
    QWidget *view = W->Views().ShownView();
    const QPoint inside(view->width() / 2, view->height() / 2);
    QTest::mouseMove(view, QPoint(1, 1));
    QTest::mouseMove(view, inside);
    const TCircuit circuit = CircuitAt(PageNamed("Fender"), 50, 50, 50);
    const TResponseCurves curves = EngineCurves(circuit);
    const QString text = W->statusBar()->currentMessage();
    const QStringList parts = text.split(QStringLiteral("   "));
    QCOMPARE(parts.size(), 4);
    const double frequency =
        QuantityGeometry(view->size(), QuantityAxis(TQuantity::Phase, W->Doc().Store(), false), view).XToFreq(inside.x());
    QCOMPARE(parts[0], FrequencyText(frequency));
    QCOMPARE(parts[1], QString::number(TraceAt(CoreTrace(circuit), frequency), 'f', 2) + " dB");
    QCOMPARE(parts[2], QString::number(TraceAt(curves.PhaseDeg, frequency), 'f', 1) + QStringLiteral("\u00b0"));
    QCOMPARE(parts[3], QString::number(TraceAt(curves.GroupDelayS, frequency) * 1000, 'f', 3) + " ms");
}

void TestViews::fittedAxesHoldEveryValueOnWholeSteps()
{
    std::mt19937 random(7);
    std::uniform_real_distribution<double> exponent(-6, 6);
    std::uniform_real_distribution<double> unit(-1, 1);
    for (int n = 0; n < 200; ++n) {
        const double scale = std::pow(10.0, exponent(random));
        const double a = unit(random) * scale;
        const double b = a + std::abs(unit(random)) * scale;
        const TValueAxis axis = FittedAxis(a, b, 1, QString());
        QVERIFY(axis.Bottom <= a && axis.Top >= b);
        QVERIFY(axis.Labels.size() >= 2 && axis.Labels.size() <= 12);
        // Every value inside lands inside the frame, the ends on its edges.
        QCOMPARE(axis.ToY(axis.Top, 10, 410), 10);
        QCOMPARE(axis.ToY(axis.Bottom, 10, 410), 410);
        const int y = axis.ToY((a + b) / 2, 10, 410);
        QVERIFY(y >= 10 && y <= 410);
    }
    const TValueAxis phase = QuantityAxis(TQuantity::Phase, TTraceStore{}, false);
    QCOMPARE(phase.Top, 180.0);
    QCOMPARE(phase.Bottom, -180.0);
    QCOMPARE(phase.Lines.size(), std::size_t(9));
    QCOMPARE(phase.ToY(std::nan(""), 10, 410), 10);
}

void TestViews::responseMapFollowsEveryChangeWithItsMarker()
{
    W->Slider(BuiltInControl::Treble)->setValue(30);
    W->Views().ShowResponseMap(BuiltInControl::Treble);
    const TResponseMapPicture &map = W->Views().ResponseMapView()->Map();
    QCOMPARE(map.Curves, CalcResponseMap(CircuitAt(PageNamed("Fender"), 50, 50, 30), BuiltInControl::Treble, ResolutionMedium));

    // Another slider moves the whole map; the mapped one moves the marker.
    W->Slider(BuiltInControl::Bass)->setValue(80);
    W->Slider(BuiltInControl::Treble)->setValue(70);
    QCOMPARE(map.Position, 70);
    QCOMPARE(map.Curves, CalcResponseMap(CircuitAt(PageNamed("Fender"), 80, 50, 70), BuiltInControl::Treble, ResolutionMedium));

    const QSize size(407, 417);
    const QImage image = Picture([&](QPainter &painter, QSize s) { RenderResponseMap(painter, s, map); }, size);
    QImage probe(1, 1, QImage::Format_RGB32);
    const TResponseMapLayout layout = LayoutResponseMap(size, map, &probe);
    auto whiteIn = [&](int y) {
        int count = 0;
        for (int x = layout.Frame.FrameLeft + 100; x < layout.Frame.FrameRight(); ++x)
            count += image.pixelColor(x, y) == QColor(Qt::white);
        return count;
    };
    QVERIFY(whiteIn(layout.PositionToY(70)) > 50);
    QCOMPARE(whiteIn(layout.PositionToY(30)), 0);
    QCOMPARE(layout.YToPosition(layout.PositionToY(70)), 70);
}

void TestViews::mapsOfferOnlyThePagesControls()
{
    const std::vector<std::pair<const char *, QStringList>> offered{
        {"Fender", {"Bass", "Mid", "Treble"}}, {"Vox", {"Bass", "Treble"}}, {"Big muff", {"Mid"}}};
    for (const auto &[page, controls] : offered) {
        W->Pages()->setCurrentIndex(int(PageNamed(page)));
        QStringList shown;
        for (const QString control : {"Bass", "Mid", "Treble"})
            if (W->Action("actPlotViewMap" + control))
                shown << control;
        QCOMPARE(shown, controls);
    }

    // A map over a control the next page lacks gives way to the gain, without a box.
    W->Pages()->setCurrentIndex(int(PageNamed("Fender")));
    W->Action("actPlotViewMapTreble")->trigger();
    QCOMPARE(W->Views().PlotView(), TPlotView::ResponseMap);
    W->Pages()->setCurrentIndex(int(PageNamed("Big muff")));
    QCOMPARE(W->Views().PlotView(), TPlotView::Gain);
    QVERIFY(W->Action("actPlotViewGain")->isChecked());
    QVERIFY(W->statusBar()->currentMessage().contains("no Treble control"));
    W->Slider(BuiltInControl::Mid)->setValue(20);
    QCOMPARE(W->Views().PlotView(), TPlotView::Gain);
    QVERIFY(W->Errors.isEmpty());
}

void TestViews::circuitTheEngineCannotSolve()
{
    // An inductor of no inductance: the loop model still computes a curve,
    // the circuit engine refuses the branch.
    const QString path = Dir->filePath("noinductance.cva");
    W->Pages()->setCurrentIndex(int(PageNamed("Bench")));
    W->SaveAnswer = path;
    QVERIFY(W->Files().SaveAs());
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QByteArray text = file.readAll();
    file.close();
    text.replace("SL1=6|600", "SL1=0|600");
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
    file.close();

    W->Views().SetPlotView(TPlotView::Phase);
    W->Errors.clear();
    QVERIFY(W->Files().OpenFile(path));
    QCOMPARE(W->Errors.size(), 1);
    QVERIFY(W->Errors.front().contains("Bench"));
    for (double value : W->Doc().Store().Traces[0])
        QVERIFY(std::isfinite(value));
    for (double value : W->Doc().Store().Quantities[0].PhaseDeg)
        QVERIFY(!std::isfinite(value));
    // Told once, not on every change; the readout leaves the phase out.
    W->Slider(BuiltInControl::Bass)->setValue(10);
    QCOMPARE(W->Errors.size(), 1);
    QWidget *view = W->Views().ShownView();
    QTest::mouseMove(view, QPoint(1, 1));
    QTest::mouseMove(view, QPoint(view->width() / 2, view->height() / 2));
    QCOMPARE(W->statusBar()->currentMessage().split(QStringLiteral("   ")).size(), 2);
}

void TestViews::circuitWithoutACurveSaysWhyAndKeepsNothing()
{
    const std::vector<std::pair<std::function<void(TCircuit &)>, QString>> failures{
        {[](TCircuit &circuit) { circuit.Symbols.AddCapacitor("FC1", 0); }, "C1 on the Fender page is 0 F"},
        {[](TCircuit &circuit) { circuit.Symbols.AddResistor("FR1", 1e300); }, "R1 on the Fender page is 1E300 Ω"},
    };
    auto finite = [](double value) { return std::isfinite(value); };
    W->Traces().TakeSnapshot("before");
    W->ExportAnswer = Dir->filePath("none.png");
    for (const auto &[edit, reason] : failures) {
        W->Doc().Apply({.What = "Break", .Edit = edit});
        QVERIFY(std::none_of(W->Doc().Store().Traces[0].begin(), W->Doc().Store().Traces[0].end(), finite));
        for (const QString &said : {W->Plotter()->Notice(), W->Views().QuantityView()->Notice(), W->AccuracyWarning()->Notice()})
            QVERIFY2(said.startsWith(reason), qPrintable(said));
        QVERIFY(!W->AccuracyWarning()->isHidden());

        // What would keep or show the curve refuses, with the reason.
        W->Warnings.clear();
        for (const char *command : {"actPlotSnapshot", "actPlotExample", "actFileExport", "actEditCopyData"})
            W->Action(command)->trigger();
        QCOMPARE(W->Warnings.size(), 4);
        for (const QString &warning : W->Warnings)
            QVERIFY2(warning.contains(reason), qPrintable(warning));
        QCOMPARE(W->Doc().Store().TraceCount, 2);
        QVERIFY(!QFile::exists(W->ExportAnswer));
        QVERIFY(W->Errors.isEmpty());

        W->Doc().UndoStack()->undo();
        QVERIFY(std::all_of(W->Doc().Store().Traces[0].begin(), W->Doc().Store().Traces[0].end(), finite));
        QVERIFY(W->Plotter()->Notice().isEmpty());
        QVERIFY(W->AccuracyWarning()->isHidden());
    }
}

void TestViews::exportAndPrintFollowTheViewShown()
{
    W->Views().SetPlotView(TPlotView::Impedance);
    W->ExportAnswer = Dir->filePath("impedance.png");
    W->Action("actFileExport")->trigger();
    const QImage exported(W->ExportAnswer);
    const QImage expected = Picture(
        [&](QPainter &painter, QSize size) {
            RenderTitled(painter, size, PlotTitle(W->Doc().Circuit()), [&](QPainter &onPlot, QSize plotSize) {
                RenderQuantityPlot(onPlot, plotSize, W->Doc().Store(), TQuantity::Impedance, false, clLime);
            });
        },
        W->Views().ShownView()->size());
    QCOMPARE(exported.convertToFormat(QImage::Format_RGB32), expected);

    W->ExportAnswer = Dir->filePath("impedance.csv");
    W->Action("actFileExport")->trigger();
    QFile table(W->ExportAnswer);
    QVERIFY(table.open(QIODevice::ReadOnly));
    QCOMPARE(table.readLine().trimmed(), QByteArray("frequency_hz,Live"));
    const QList<QByteArray> first = table.readLine().trimmed().split(',');
    QCOMPARE(first[1].toDouble(), W->Doc().Store().Quantities[0].ImpedanceOhm[0]);

    W->Views().ShowResponseMap(BuiltInControl::Bass);
    W->ExportAnswer = Dir->filePath("map.csv");
    W->Action("actFileExport")->trigger();
    QFile map(W->ExportAnswer);
    QVERIFY(map.open(QIODevice::ReadOnly));
    QCOMPARE(map.readAll().count('\n'), MapPositions * GridPoints + 1);
    QVERIFY(W->Errors.isEmpty());

    // The page of a view: the picture right of the component list.
    QImage page(2480, 3508, QImage::Format_RGB32);
    page.fill(Qt::white);
    QPainter painter(&page);
    const TPrintLayout layout = DrawPicturePrintout(
        painter, [](QPainter &on, QSize size) { on.fillRect(QRect(QPoint(0, 0), size), Qt::red); },
        W->Doc().Circuit().ActiveValues(), W->Doc().Circuit().ActiveInfo(), '.');
    painter.end();
    QCOMPARE(page.pixelColor(layout.TextW + layout.L10 + 5, 5), QColor(Qt::red));
    QCOMPARE(page.pixelColor(layout.TextW / 2, layout.L14 / 2 + 1) == QColor(Qt::red), false);
    QCOMPARE(page.pixelColor(page.width() / 2, layout.Notice.bottom() + 2), QColor(Qt::white));
}

void TestViews::copyAndMarkersFollowTheViewShown()
{
    W->Traces().SnapshotButton()->click();
    W->Views().SetPlotView(TPlotView::Phase);
    W->Action("actEditCopyData")->trigger();
    const QStringList rows = QGuiApplication::clipboard()->text().split('\n');
    QCOMPARE(rows.size(), GridPoints + 2);
    QCOMPARE(rows[0], QStringLiteral("frequency_hz\tLive\tSnapshot 1"));
    QCOMPARE(rows[1].split('\t').at(1).toDouble(), W->Doc().Store().Quantities[0].PhaseDeg[0]);
    W->Action("actEditCopyPlot")->trigger();
    QCOMPARE(QGuiApplication::clipboard()->image().size(), W->Views().ShownView()->size());

    // Markers: white rings and labels on the gain plot, only on request.
    W->Views().SetPlotView(TPlotView::Gain);
    const int before = CountColour(W->Plotter()->grab().toImage(), MarkerColour());
    W->Action("actPlotMarkers")->trigger();
    QVERIFY(CountColour(W->Plotter()->grab().toImage(), MarkerColour()) > before + 20);
}

void TestViews::legendToggleHidesItInEveryView()
{
    W->Traces().SnapshotButton()->click();
    const auto legendIn = [&](TPlotView view) {
        W->Views().SetPlotView(view);
        W->Views().ShownView()->grab();
        return view == TPlotView::Gain ? W->Plotter()->LegendBox() : W->Views().QuantityView()->LegendBox();
    };
    for (bool shown : {true, false, true}) {
        W->Action("actPlotLegend")->setChecked(shown);
        for (TPlotView view : {TPlotView::Gain, TPlotView::Phase, TPlotView::GroupDelay, TPlotView::Impedance})
            QCOMPARE(!legendIn(view).isEmpty(), shown);
    }
}

QTEST_MAIN(TestViews)
#include "test_views.moc"
