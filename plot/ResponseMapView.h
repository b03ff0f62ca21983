#pragma once

// The response map: the gain over frequency (across, on the plot's log axis)
// and every position of one slider (up), as colours with a colour bar, and
// a marker at the slider's present position. When there is no map to show,
// the view says why instead.

#include <vector>

#include <QColor>
#include <QSize>
#include <QString>

#include "models/Calc.h"
#include "models/CircuitDef.h"
#include "plot/NavigableView.h"
#include "plot/PlotGeometry.h"
#include "plot/QuantityAxis.h"

class QPaintDevice;
class QPainter;

namespace cva {

struct TResponseMapPicture {
    QString Control;             // the label of the control mapped
    int Position = 0;            // the control's present position, 0 .. 100
    std::vector<TTrace> Curves;  // gain at positions 0 .. 100; empty: no map
    QString Message;             // why there is no map
};

// The colour of a fraction 0 .. 1 of the gain range, dark blue to yellow.
QColor MapColour(double fraction);

// Where everything of the map goes in a picture of the given size.
struct TResponseMapLayout {
    TPlotGeometry Frame;
    TSpan Positions{0, SliderMaximum}; // the slider positions from the frame's bottom to its top
    TValueAxis Colours; // the gain range the colour bar spans, in dB
    QRect Bar;          // the colour bar right of the frame

    int PositionToY(int position) const;
    // The nearest position for a y inside the frame.
    int YToPosition(int y) const;
};

// How far the map zooms: to two slider positions up, never past the ends.
TViewLimits ResponseMapLimits();
// All the slider's positions: the map's start view up.
constexpr TSpan AllPositions{0, SliderMaximum};

TResponseMapLayout LayoutResponseMap(QSize size, const TResponseMapPicture &map, const QPaintDevice *device,
                                     const TViewWindow &window = TViewWindow(ResponseMapLimits()));

void RenderResponseMap(QPainter &painter, QSize size, const TResponseMapPicture &map,
                       const TViewWindow &window = TViewWindow(ResponseMapLimits()));

class TResponseMapView : public TNavigableView {
    Q_OBJECT

public:
    explicit TResponseMapView(QWidget *parent = nullptr);

    void SetMap(TResponseMapPicture map);
    const TResponseMapPicture &Map() const { return FMap; }
    const TViewWindow &Window() const { return FWindow; }
    TResponseMapLayout Layout() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    TPlotGeometry ViewFrame() const override { return Layout().Frame; }
    TSpan StartY() const override { return AllPositions; }
    // Frequency, slider position and gain of the map.
    void UpdateReadout() override;

    TResponseMapPicture FMap;
    TViewWindow FWindow{ResponseMapLimits()};
};

} // namespace cva
