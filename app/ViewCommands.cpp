// The main window's choice of what the plot shows: gain, phase, group delay,
// input impedance or the response map over one slider, and the engine's
// share of every recalculation that these views need.

#include <array>
#include <limits>

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QStackedWidget>

#include "app/MainWindow.h"
#include "document/ResponseMap.h"
#include "numerics/Error.h"
#include "plot/PlotPainter.h"
#include "plot/Plotter.h"
#include "plot/QuantityView.h"
#include "plot/ResponseMapView.h"

namespace cva {

namespace {

struct TViewItem {
    const char *Name;
    const char *Text;
    const char *Hint;
    TPlotView View;
};

constexpr std::array<TViewItem, 4> CurveViews{{
    {"actPlotViewGain", "&Gain", "Shows the gain in dB", TPlotView::Gain},
    {"actPlotViewPhase", "&Phase", "Shows the phase in degrees (Auto Y scale fits it)", TPlotView::Phase},
    {"actPlotViewGroupDelay", "Group &delay", "Shows the group delay in milliseconds", TPlotView::GroupDelay},
    {"actPlotViewImpedance", "Input &impedance", "Shows the impedance the source sees, in ohms",
     TPlotView::Impedance},
}};

QString MapActionName(const std::string &label)
{
    return QStringLiteral("actPlotViewMap") + QString::fromStdString(label);
}

TQuantity QuantityOf(TPlotView view)
{
    switch (view) {
    case TPlotView::Phase:
        return TQuantity::Phase;
    case TPlotView::GroupDelay:
        return TQuantity::GroupDelay;
    default:
        break;
    }
    return TQuantity::Impedance;
}

bool ShowsQuantity(TPlotView view)
{
    return view == TPlotView::Phase || view == TPlotView::GroupDelay || view == TPlotView::Impedance;
}

} // namespace

void TfrmMain::CreateViewMenu(QMenu *plot)
{
    QMenu *show = plot->addMenu("Sh&ow");
    auto *views = new QActionGroup(this);
    for (const TViewItem &item : CurveViews) {
        QAction *action = AddAction(show, item.Name, item.Text, item.Hint);
        action->setCheckable(true);
        views->addAction(action);
        connect(action, &QAction::triggered, this, [this, view = item.View] { SetPlotView(view); });
    }
    show->addSeparator();
    for (int slider = 0; slider < FCircuit.ControlCount(); ++slider) {
        const std::string &label = FCircuit.ActiveInfo().Controls[std::size_t(slider)].Label;
        const QString caption = QString::fromStdString(label);
        QAction *action = AddAction(show, MapActionName(label), QStringLiteral("Response &map over ") + caption,
                                    QStringLiteral("Shows the gain at every position of the ") + caption +
                                        QStringLiteral(" control as colours"));
        action->setCheckable(true);
        views->addAction(action);
        connect(action, &QAction::triggered, this, [this, slider] { ShowResponseMap(slider); });
    }
    CheckViewAction();
}

QWidget *TfrmMain::ShownView() const
{
    return FViews->currentWidget();
}

void TfrmMain::CheckViewAction()
{
    for (const TViewItem &item : CurveViews)
        Action(item.Name)->setChecked(FPlotView == item.View);
    for (int slider = 0; slider < FCircuit.ControlCount(); ++slider)
        if (QAction *map = Action(MapActionName(FCircuit.ActiveInfo().Controls[std::size_t(slider)].Label)))
            map->setChecked(FPlotView == TPlotView::ResponseMap && FMapSlider == slider);
}

void TfrmMain::SetPlotView(TPlotView view)
{
    if (view == TPlotView::ResponseMap) {
        ShowResponseMap(FMapSlider);
        return;
    }
    FPlotView = view;
    if (ShowsQuantity(view)) {
        FQuantityView->SetQuantity(QuantityOf(view));
        FViews->setCurrentWidget(FQuantityView);
        // A failure while another view was shown has not been told yet.
        if (!FEngineFailure.isEmpty())
            ShowError(FEngineFailure);
    } else {
        FViews->setCurrentWidget(FPlotter);
    }
    CheckViewAction();
    UpdateShownView();
}

QString TfrmMain::ControlLabel(int control) const
{
    const auto &controls = FCircuit.ActiveInfo().Controls;
    return control >= 0 && control < int(controls.size()) ? QString::fromStdString(controls[std::size_t(control)].Label)
                                                          : QString();
}

void TfrmMain::ShowResponseMap(int slider)
{
    TResponseMapPicture map{ControlLabel(slider), FCircuit.Position(slider), {}, {}};
    const bool made = Guarded([&] { map.Curves = CalcResponseMap(FCircuit, slider, FCircuit.ResolutionStep); });
    if (!made) {
        // The plot keeps what it showed, and the menu says so.
        CheckViewAction();
        return;
    }
    FMapSlider = slider;
    FPlotView = TPlotView::ResponseMap;
    FMapView->SetMap(std::move(map));
    FViews->setCurrentWidget(FMapView);
    CheckViewAction();
}

void TfrmMain::RecalculateViews()
{
    TResponseCurves curves;
    try {
        CalcEngineCurves(FCircuit, curves);
        FStore.Quantities[0] = {curves.PhaseDeg, curves.GroupDelayS, curves.ImpedanceOhm};
        FEngineFailure.clear();
    } catch (const CorvantaError &error) {
        // No quantity of another circuit stands beside the new gain: the
        // live trace has none until the engine can solve it again.
        TTrace none;
        none.fill(std::numeric_limits<double>::quiet_NaN());
        FStore.Quantities[0] = {none, none, none};
        const QString message = QString::fromStdString(error.what());
        const bool told = message == FEngineFailure;
        FEngineFailure = message;
        if (ShowsQuantity(FPlotView) && !told)
            ShowError(message);
    }
    if (FPlotView == TPlotView::ResponseMap)
        RecalculateMap();
    UpdateShownView();
}

void TfrmMain::RecalculateMap()
{
    TResponseMapPicture map{ControlLabel(FMapSlider), FCircuit.Position(FMapSlider), {}, {}};
    try {
        map.Curves = CalcResponseMap(FCircuit, FMapSlider, FCircuit.ResolutionStep);
    } catch (const CorvantaError &error) {
        // The view says why it has no map; the box comes once per reason.
        map.Message = QString::fromStdString(error.what());
        if (map.Message != FMapView->Map().Message)
            ShowError(map.Message);
    }
    FMapView->SetMap(std::move(map));
}

void TfrmMain::UpdateShownView()
{
    ShownView()->update();
}

TTraceStore TfrmMain::ShownTraces() const
{
    return ShowsQuantity(FPlotView) ? QuantityStore(FStore, QuantityOf(FPlotView)) : FStore;
}

void TfrmMain::RenderShownView(QPainter &painter, QSize size)
{
    switch (FPlotView) {
    case TPlotView::Gain:
        GainPlotRender(FStore, FScale, FPlotter->TraceColour())(painter, size);
        return;
    case TPlotView::ResponseMap:
        RenderResponseMap(painter, size, FMapView->Map());
        return;
    default:
        RenderQuantityPlot(painter, size, FStore, QuantityOf(FPlotView), FScale.AutoYScale, FPlotter->TraceColour());
    }
}

} // namespace cva
