// Zoom and pan in every view of the main window: the wheel with Ctrl, a
// dragged rectangle, the arrow keys and Plot > Reset view, checked on the
// axis ranges each view then shows; and the limits no gesture gets past.

#include <cmath>
#include <memory>

#include <QAction>
#include <QTest>
#include <QWheelEvent>

#include "TestWindow.h"
#include "app/PlotViews.h"
#include "plot/PlotGeometry.h"
#include "plot/Plotter.h"
#include "plot/QuantityView.h"
#include "plot/ResponseMapView.h"

using namespace cva;
using namespace cva::test;

namespace {

// What a view shows: its frame, its spans across and up, and its start view up.
struct TShown {
    TPlotGeometry Frame;
    TSpan X;
    TSpan Y;
    TSpan StartY;
};

TShown ShownIn(const TfrmMain &window)
{
    const TPlotViews &views = window.Views();
    if (views.PlotView() == TPlotView::Gain) {
        const TPlotGeometry frame = views.Plotter()->Geometry();
        return {frame, frame.Decades, ScaleSpan(views.Plotter()->ShownScale()), ScaleSpan(views.Scale())};
    }
    if (views.PlotView() == TPlotView::ResponseMap) {
        const TResponseMapLayout layout = views.ResponseMapView()->Layout();
        return {layout.Frame, layout.Frame.Decades, layout.Positions, AllPositions};
    }
    const TQuantityFrame frame = views.QuantityView()->Frame();
    return {frame.Geometry, frame.Geometry.Decades, AxisSpan(frame.Axis), frame.Start};
}

QPoint AtFraction(const TPlotGeometry &frame, double x, double y)
{
    return {frame.FrameLeft + qRound(x * (frame.FrameRight() - frame.FrameLeft)),
            frame.FrameBottom() - qRound(y * (frame.FrameBottom() - frame.FrameTop))};
}

void CtrlWheel(QWidget *view, QPoint at, int notches)
{
    QWheelEvent event(at, view->mapToGlobal(at), QPoint(), QPoint(0, 120 * notches), Qt::NoButton,
                      Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view, &event);
}

void Drag(QWidget *view, QPoint from, QPoint to)
{
    QTest::mousePress(view, Qt::LeftButton, {}, from);
    QTest::mouseMove(view, to);
    QTest::mouseRelease(view, Qt::LeftButton, {}, to);
}

bool Near(TSpan a, TSpan b, double tolerance)
{
    return std::abs(a.Low - b.Low) <= tolerance && std::abs(a.High - b.High) <= tolerance;
}

QString Text(TSpan span)
{
    return QStringLiteral("%1 .. %2").arg(span.Low, 0, 'g', 8).arg(span.High, 0, 'g', 8);
}

} // namespace

class TestZoom : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup() { W.reset(); }
    void gesturesSetTheAxes_data();
    void gesturesSetTheAxes();
    void gainViewStartsWhole();

private:
    std::unique_ptr<TTestWindow> W;
};

void TestZoom::init()
{
    W = std::make_unique<TTestWindow>();
    W->show();
    QVERIFY(QTest::qWaitForWindowExposed(W.get()));
}

// The gestures, each from the start view; what they must give is worked out
// from the start view and the frame, as the user expects it.
enum class TGesture {
    WheelIn,
    WheelFarOut,
    WheelFarIn,
    Rectangle,
    EscapedRectangle,
    ClickOnly,
    RectangleThenArrows,
    Reset,
    PlainWheel
};
Q_DECLARE_METATYPE(TGesture)

void TestZoom::gesturesSetTheAxes_data()
{
    QTest::addColumn<QString>("viewAction");
    QTest::addColumn<TGesture>("gesture");
    QTest::addColumn<double>("leastY"); // the view's least span up
    const struct {
        const char *Name;
        const char *Action;
        double LeastY;
    } views[] = {{"gain", "actPlotViewGain", LeastDBSpan},
                 {"phase", "actPlotViewPhase", 0.1},
                 {"group delay", "actPlotViewGroupDelay", 0.001},
                 {"impedance", "actPlotViewImpedance", 0.025},
                 {"response map", "actPlotViewMapBass", 2}};
    const struct {
        const char *Name;
        TGesture Gesture;
    } gestures[] = {{"Ctrl+wheel in", TGesture::WheelIn},          {"Ctrl+wheel far out", TGesture::WheelFarOut},
                    {"Ctrl+wheel far in", TGesture::WheelFarIn},   {"rectangle", TGesture::Rectangle},
                    {"rectangle let go with Escape", TGesture::EscapedRectangle},
                    {"click", TGesture::ClickOnly},                {"rectangle, arrows", TGesture::RectangleThenArrows},
                    {"Reset view", TGesture::Reset},               {"wheel without Ctrl", TGesture::PlainWheel}};
    for (const auto &view : views)
        for (const auto &gesture : gestures)
            QTest::newRow(qPrintable(QStringLiteral("%1: %2").arg(view.Name, gesture.Name)))
                << QString(view.Action) << gesture.Gesture << view.LeastY;
}

void TestZoom::gesturesSetTheAxes()
{
    QFETCH(QString, viewAction);
    QFETCH(TGesture, gesture);
    QFETCH(double, leastY);
    W->Action(viewAction)->trigger();
    QWidget *view = W->Views().ShownView();
    const TShown start = ShownIn(*W);
    QCOMPARE(start.X.Low, GridDecades.Low);
    QCOMPARE(start.X.High, GridDecades.High);
    QVERIFY(Near(start.Y, start.StartY, 1e-12));
    const TPlotGeometry &frame = start.Frame;
    // A pixel's worth of either axis.
    const double pixelX = start.X.Size() / (frame.FrameRight() - frame.FrameLeft);
    const double pixelY = start.Y.Size() / (frame.FrameBottom() - frame.FrameTop);
    const QPoint centre = AtFraction(frame, 0.5, 0.5);

    TSpan wantX = start.X;
    TSpan wantY = start.Y;
    double tolerance = 1e-9;
    switch (gesture) {
    case TGesture::WheelIn:
        CtrlWheel(view, centre, 1);
        wantX = {start.X.At(0.1), start.X.At(0.9)};
        wantY = {start.Y.At(0.1), start.Y.At(0.9)};
        tolerance = 2 * std::max(pixelX, pixelY);
        break;
    case TGesture::WheelFarOut:
        // Across no further than the grid; up, a start span on either side
        // at most (none for the map's positions).
        CtrlWheel(view, centre, -30);
        wantY = viewAction.contains("Map") ? start.Y : TSpan{start.Y.Low - start.Y.Size(), start.Y.High + start.Y.Size()};
        tolerance = 2 * std::max(pixelX, pixelY);
        break;
    case TGesture::WheelFarIn: {
        CtrlWheel(view, centre, 200);
        const TShown shown = ShownIn(*W);
        QVERIFY2(std::abs(shown.X.Size() - 0.05) < 1e-9, qPrintable(Text(shown.X)));
        QVERIFY2(std::abs(shown.Y.Size() - leastY) < 1e-9, qPrintable(Text(shown.Y)));
        QVERIFY(std::isfinite(shown.Y.Low) && shown.X.Low >= GridDecades.Low && shown.X.High <= GridDecades.High);
        // Still finite pixels and labels: the view paints.
        view->grab();
        return;
    }
    case TGesture::Rectangle:
        // Dragged from the lower right to the upper left: corners in any order.
        Drag(view, AtFraction(frame, 0.75, 0.25), AtFraction(frame, 0.25, 0.75));
        wantX = {start.X.At(0.25), start.X.At(0.75)};
        wantY = {start.Y.At(0.25), start.Y.At(0.75)};
        tolerance = 2 * std::max(pixelX, pixelY);
        break;
    case TGesture::EscapedRectangle: {
        const QPoint to = AtFraction(frame, 0.75, 0.75);
        QTest::mousePress(view, Qt::LeftButton, {}, AtFraction(frame, 0.25, 0.25));
        QTest::mouseMove(view, to);
        QTest::keyClick(view, Qt::Key_Escape);
        QTest::mouseRelease(view, Qt::LeftButton, {}, to);
        break;
    }
    case TGesture::ClickOnly:
        Drag(view, centre, centre + QPoint(1, 1));
        break;
    case TGesture::RectangleThenArrows:
        Drag(view, AtFraction(frame, 0.2, 0.2), AtFraction(frame, 0.6, 0.6));
        view->setFocus();
        QTest::keyClick(view, Qt::Key_Right);
        QTest::keyClick(view, Qt::Key_Up);
        QTest::keyClick(view, Qt::Key_Up);
        // A tenth of the window right, two tenths up.
        wantX = {start.X.At(0.24), start.X.At(0.64)};
        wantY = {start.Y.At(0.28), start.Y.At(0.68)};
        tolerance = 2 * std::max(pixelX, pixelY);
        break;
    case TGesture::Reset:
        Drag(view, AtFraction(frame, 0.2, 0.2), AtFraction(frame, 0.6, 0.6));
        CtrlWheel(view, centre, 3);
        QVERIFY(!Near(ShownIn(*W).X, start.X, 1e-3));
        W->Action("actPlotResetView")->trigger();
        break;
    case TGesture::PlainWheel: {
        QWheelEvent event(centre, view->mapToGlobal(centre), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(view, &event);
        break;
    }
    }
    const TShown shown = ShownIn(*W);
    QVERIFY2(Near(shown.X, wantX, tolerance), qPrintable(Text(shown.X) + " wanted " + Text(wantX)));
    QVERIFY2(Near(shown.Y, wantY, tolerance), qPrintable(Text(shown.Y) + " wanted " + Text(wantY)));
    QVERIFY(W->Errors.isEmpty());
}

void TestZoom::gainViewStartsWhole()
{
    // 10 Hz to the grid's end across, the fixed 0 .. -50 dB up, as before zooming existed.
    const TShown shown = ShownIn(*W);
    QCOMPARE(W->Views().PlotView(), TPlotView::Gain);
    QVERIFY(Near(shown.X, GridDecades, 0));
    QVERIFY(Near(shown.Y, TSpan{-50, 0}, 0));
}

QTEST_MAIN(TestZoom)
#include "test_zoom.moc"
