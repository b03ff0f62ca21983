#pragma once

// What the plot shows, one view at a time: the gain plot, another quantity
// of the circuit engine (phase, group delay, input impedance) or the
// response map over one control; the Plot menu's choice among them, and
// the engine's share of every recalculation that these views need.

#include <array>
#include <string>
#include <utility>
#include <vector>

#include <QStackedWidget>

#include "document/TraceTable.h"
#include "models/CircuitDef.h"
#include "plot/PlotScale.h"

class QActionGroup;
class QMenu;
class QPainter;

namespace cva {

class TCircuitDocument;
class TfrmMain;
class TNavigableView;
class TPlotter;
class TQuantityView;
class TResponseMapView;

enum class TPlotView { Gain, Phase, GroupDelay, Impedance, ResponseMap };

class TPlotViews : public QStackedWidget {
    Q_OBJECT

public:
    TPlotViews(TfrmMain &window, QWidget *parent);

    // Plot > Show with a response map over each control of the page shown,
    // and the Markers and Legend switches.
    void CreateViewMenu(QMenu *plot);
    // Resolution > Auto Y scale, for the gain and the phase.
    void SetAutoYScale(bool on);

    // Shows a view of the Plot menu. The response map shows MapSlider().
    void SetPlotView(TPlotView view);
    // The response map over a control; a control the page does not use is an
    // error and the plot keeps what it showed.
    void ShowResponseMap(int slider);
    TPlotView PlotView() const { return FPlotView; }
    int MapSlider() const { return FMapSlider; }
    // The map needs no live curve; every other view shows it.
    bool ShowsLiveCurve() const { return FPlotView != TPlotView::ResponseMap; }

    // The notices, the maps offered and the engine's curves of a recomputed circuit.
    void ShowRecomputed();
    void UpdateShownView();

    QWidget *ShownView() const { return currentWidget(); }
    TPlotter *Plotter() const { return FPlotter; }
    TQuantityView *QuantityView() const { return FQuantityView; }
    TResponseMapView *ResponseMapView() const { return FMapView; }
    const TPlotScale &Scale() const { return FScale; }

    // The curves of the view shown, as its table lists them.
    TTraceStore ShownTraces() const;
    // The view shown as a picture of the given size.
    void RenderShownView(QPainter &painter, QSize size);

private:
    // Plot > Show offers a response map over each control the page shown uses.
    void RefreshMapActions();
    // Ticks the Plot menu's item of the view shown.
    void CheckViewAction();
    void ShowEngineViews();
    // The gain, quantity and map views, in that order.
    std::array<TNavigableView *, 3> Views() const;
    void RecalculateMap();
    // The label of a control of the active page.
    QString ControlLabel(int control) const;

    TfrmMain &FWindow;
    TCircuitDocument &FDoc;
    TPlotScale FScale;
    TPlotter *FPlotter;
    TQuantityView *FQuantityView;
    TResponseMapView *FMapView;
    TPlotView FPlotView = TPlotView::Gain;
    int FMapSlider = BuiltInControl::Bass;
    std::string FMapControlLabel = "Bass"; // of the page the map was made on
    QMenu *FShowMenu = nullptr;
    QActionGroup *FViewGroup = nullptr;
    std::vector<std::pair<int, std::string>> FMapControls; // offered in FShowMenu
    // The engine's failure last told in a box, so that it is told once.
    QString FToldEngineFailure;
};

} // namespace cva
