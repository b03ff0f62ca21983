#include "app/PlotViews.h"

#include <array>
#include <limits>

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QStackedWidget>
#include <QStatusBar>

#include "app/FontScale.h"
#include "app/MainWindow.h"
#include "app/TraceCommands.h"
#include "app/MenuText.h"
#include "document/ResponseMap.h"
#include "numerics/Error.h"
#include "plot/PlotPainter.h"
#include "plot/Plotter.h"
#include "plot/QuantityView.h"
#include "plot/ResponseMapView.h"

namespace cva {

namespace {

// At the design font (see FontScale.h).
constexpr QSize PlotMinimumSize{240, 180};

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

TPlotViews::TPlotViews(TfrmMain &window, QWidget *parent)
    : QStackedWidget(parent), FWindow(window), FDoc(window.Doc()), FPlotter(new TPlotter(FDoc.Store(), FScale, this)),
      FQuantityView(new TQuantityView(FDoc.Store(), [this] { return FPlotter->TraceColour(); }, this)),
      FMapView(new TResponseMapView(this))
{
    FPlotter->setMinimumSize(Scaled(*this, PlotMinimumSize));
    // The snapshots one by one, also from the plot itself.
    FPlotter->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(FPlotter, &QWidget::customContextMenuRequested, this, [this](QPoint at) {
        QMenu menu(this);
        FWindow.Traces().FillSnapshotMenu(&menu);
        menu.exec(FPlotter->mapToGlobal(at));
    });
    auto showReadout = [this](const QString &text) {
        if (text.isEmpty())
            FWindow.statusBar()->clearMessage();
        else
            FWindow.statusBar()->showMessage(text);
    };
    for (TNavigableView *view : Views()) {
        connect(view, &TNavigableView::CursorReadout, this, showReadout);
        addWidget(view);
    }
}

std::array<TNavigableView *, 3> TPlotViews::Views() const
{
    return {FPlotter, FQuantityView, FMapView};
}

void TPlotViews::SetAutoYScale(bool on)
{
    FScale.AutoYScale = on;
    FQuantityView->SetPhaseAutoScale(on);
    FPlotter->update();
}

void TPlotViews::ShowRecomputed()
{
    // A circuit without a curve says why in the views until it has one again.
    const QString &failure = FDoc.LiveFailure();
    FPlotter->SetNotice(failure);
    FQuantityView->SetNotice(failure.isEmpty() ? FDoc.EngineFailure() : failure);
    RefreshMapActions();
    ShowEngineViews();
    FPlotter->update();
}

void TPlotViews::CreateViewMenu(QMenu *plot)
{
    QMenu *show = plot->addMenu("Sh&ow");
    auto *views = new QActionGroup(this);
    for (const TViewItem &item : CurveViews) {
        QAction *action = FWindow.AddAction(show, item.Name, item.Text, item.Hint);
        action->setCheckable(true);
        views->addAction(action);
        connect(action, &QAction::triggered, this, [this, view = item.View] { SetPlotView(view); });
    }
    show->addSeparator();
    FShowMenu = show;
    FViewGroup = views;
    RefreshMapActions();

    QAction *markers = FWindow.AddAction(plot, "actPlotMarkers", "&Markers",
                                 "Marks the live curve's peak, deepest notch and -3 dB points, with frequency and gain");
    markers->setCheckable(true);
    connect(markers, &QAction::toggled, FPlotter, &TPlotter::SetShowMarkers);
    QAction *legend = FWindow.AddAction(plot, "actPlotLegend", "Le&gend", "Shows which line is which curve, in every view");
    legend->setCheckable(true);
    legend->setChecked(true);
    connect(legend, &QAction::toggled, FPlotter, &TPlotter::SetShowLegend);
    connect(legend, &QAction::toggled, FQuantityView, &TQuantityView::SetShowLegend);
    connect(FWindow.AddAction(plot, "actPlotResetView", "&Reset view", "Shows the whole of every view again after zooming",
                              QKeySequence("Ctrl+0")),
            &QAction::triggered, this, [this] {
                for (TNavigableView *view : Views())
                    view->ResetView();
            });
}

void TPlotViews::RefreshMapActions()
{
    // One item per control the page shown uses; pages differ in their controls.
    std::vector<std::pair<int, std::string>> controls;
    for (int slider = 0; slider < FDoc.Circuit().ControlCount(); ++slider)
        if (FDoc.Circuit().ControlEnabled(slider))
            controls.emplace_back(slider, FDoc.Circuit().ActiveInfo().Controls[std::size_t(slider)].Label);
    if (controls == FMapControls)
        return;
    FMapControls = controls;
    for (QAction *action : FShowMenu->actions())
        if (action->objectName().startsWith(MapActionName({})))
            delete action;
    for (const auto &[slider, label] : controls) {
        const QString caption = QString::fromStdString(label);
        QAction *action =
            FWindow.AddAction(FShowMenu, MapActionName(label), QStringLiteral("Response map over &") + MenuText(caption),
                      QStringLiteral("Shows the gain at every position of the ") + caption +
                          QStringLiteral(" control as colours"));
        action->setCheckable(true);
        FViewGroup->addAction(action);
        connect(action, &QAction::triggered, this, [this, slider = slider] { ShowResponseMap(slider); });
    }
    CheckViewAction();
}

void TPlotViews::CheckViewAction()
{
    for (const TViewItem &item : CurveViews)
        FWindow.Action(item.Name)->setChecked(FPlotView == item.View);
    for (int slider = 0; slider < FDoc.Circuit().ControlCount(); ++slider)
        if (QAction *map = FWindow.Action(MapActionName(FDoc.Circuit().ActiveInfo().Controls[std::size_t(slider)].Label)))
            map->setChecked(FPlotView == TPlotView::ResponseMap && FMapSlider == slider);
}

void TPlotViews::SetPlotView(TPlotView view)
{
    if (view == TPlotView::ResponseMap) {
        ShowResponseMap(FMapSlider);
        return;
    }
    FPlotView = view;
    if (ShowsQuantity(view)) {
        FQuantityView->SetQuantity(QuantityOf(view));
        setCurrentWidget(FQuantityView);
        // A failure while another view was shown has not been told yet.
        if (!FDoc.EngineFailure().isEmpty())
            FWindow.Dialogs().ShowError(FDoc.EngineFailure());
    } else {
        setCurrentWidget(FPlotter);
    }
    CheckViewAction();
    UpdateShownView();
}

QString TPlotViews::ControlLabel(int control) const
{
    const auto &controls = FDoc.Circuit().ActiveInfo().Controls;
    return control >= 0 && control < int(controls.size()) ? QString::fromStdString(controls[std::size_t(control)].Label)
                                                          : QString();
}

void TPlotViews::ShowResponseMap(int slider)
{
    TResponseMapPicture map{ControlLabel(slider), FDoc.Circuit().Position(slider), {}, {}};
    const bool made = FWindow.Guarded([&] { map.Curves = CalcResponseMap(FDoc.Circuit(), slider, FDoc.Circuit().ResolutionStep); });
    if (!made) {
        // The plot keeps what it showed, and the menu says so.
        CheckViewAction();
        return;
    }
    FMapSlider = slider;
    FMapControlLabel = ControlLabel(slider).toStdString();
    FPlotView = TPlotView::ResponseMap;
    FMapView->SetMap(std::move(map));
    setCurrentWidget(FMapView);
    CheckViewAction();
}

void TPlotViews::ShowEngineViews()
{
    const QString &failure = FDoc.EngineFailure();
    const bool told = failure == FToldEngineFailure;
    FToldEngineFailure = failure;
    if (!failure.isEmpty() && ShowsQuantity(FPlotView) && !told)
        FWindow.Dialogs().ShowError(failure);
    if (FPlotView == TPlotView::ResponseMap)
        RecalculateMap();
    UpdateShownView();
}

void TPlotViews::RecalculateMap()
{
    if (!FDoc.Circuit().ControlEnabled(FMapSlider)) {
        // The page shown now lacks the control mapped: back to the gain, said in passing.
        const QString lacking = QStringLiteral("The %1 page has no %2 control to map: the gain is shown")
                                    .arg(QString::fromStdString(FDoc.Circuit().ActiveInfo().TabCaption),
                                         QString::fromStdString(FMapControlLabel));
        SetPlotView(TPlotView::Gain);
        FWindow.statusBar()->showMessage(lacking);
        return;
    }
    TResponseMapPicture map{ControlLabel(FMapSlider), FDoc.Circuit().Position(FMapSlider), {}, {}};
    try {
        map.Curves = CalcResponseMap(FDoc.Circuit(), FMapSlider, FDoc.Circuit().ResolutionStep);
    } catch (const CorvantaError &error) {
        // The view says why it has no map; the box comes once per reason.
        map.Message = QString::fromStdString(error.what());
        if (map.Message != FMapView->Map().Message)
            FWindow.Dialogs().ShowError(map.Message);
    }
    FMapView->SetMap(std::move(map));
}

void TPlotViews::UpdateShownView()
{
    currentWidget()->update();
}

TTraceStore TPlotViews::ShownTraces() const
{
    return ShowsQuantity(FPlotView) ? QuantityStore(FDoc.Store(), QuantityOf(FPlotView)) : FDoc.Store();
}

void TPlotViews::RenderShownView(QPainter &painter, QSize size)
{
    switch (FPlotView) {
    case TPlotView::Gain:
        GainPlotRender(FDoc.Store(), FScale, FPlotter->TraceColour(), FPlotter->Extras())(painter, size);
        return;
    case TPlotView::ResponseMap:
        RenderResponseMap(painter, size, FMapView->Map(), FMapView->Window());
        return;
    default:
        RenderQuantityPlot(painter, size, FDoc.Store(), QuantityOf(FPlotView), FScale.AutoYScale, FPlotter->TraceColour(),
                           FQuantityView->Extras());
    }
}

} // namespace cva
