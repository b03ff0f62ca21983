#include "plot/ResponseMapView.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPen>

#include "plot/CursorReadout.h"
#include "plot/PlotColours.h"
#include "plot/PlotPainter.h"

namespace cva {

namespace {

constexpr int BarWidth = 12;
constexpr int BarGap = 8;
// The steps of the labelled positions, from the widest: the first that
// labels the positions shown at least three times.
constexpr std::array<int, 5> PositionSteps{25, 10, 5, 2, 1};

int PositionStep(TSpan positions)
{
    for (int step : PositionSteps)
        if (positions.Size() / step >= 3)
            return step;
    return 1;
}

std::vector<int> LabelledPositions(TSpan positions)
{
    const int step = PositionStep(positions);
    std::vector<int> labelled;
    for (int position = 0; position <= SliderMaximum; position += step)
        if (position >= positions.Low - 1e-9 && position <= positions.High + 1e-9)
            labelled.push_back(position);
    return labelled;
}

QString PositionText(int position)
{
    return QString::number(position) + QStringLiteral("%");
}

struct TGainRange {
    double Lowest = 0;
    double Highest = 0;
};

TGainRange FiniteRange(const std::vector<TTrace> &curves)
{
    TGainRange range{1e300, -1e300};
    for (const TTrace &curve : curves)
        for (double gain : curve)
            if (std::isfinite(gain)) {
                range.Lowest = std::min(range.Lowest, gain);
                range.Highest = std::max(range.Highest, gain);
            }
    if (range.Lowest > range.Highest)
        return {-50, 0};
    return range;
}

// One pixel per grid point and position, position 100 in the top row.
QImage MapImage(const std::vector<TTrace> &curves, const TValueAxis &colours)
{
    QImage image(GridPoints, int(curves.size()), QImage::Format_RGB32);
    const double span = colours.Top - colours.Bottom;
    for (int position = 0; position < int(curves.size()); ++position) {
        auto *row = reinterpret_cast<QRgb *>(image.scanLine(int(curves.size()) - 1 - position));
        for (int k = 0; k < GridPoints; ++k) {
            const double gain = curves[position][k];
            // A point that is not finite stays black: nothing is made up.
            row[k] = std::isfinite(gain) ? MapColour((gain - colours.Bottom) / span).rgb() : qRgb(0, 0, 0);
        }
    }
    return image;
}

void DrawColourBar(QPainter &painter, const TResponseMapLayout &layout, const QFontMetrics &metrics)
{
    const QRect &bar = layout.Bar;
    for (int y = bar.top(); y <= bar.bottom(); ++y) {
        painter.setPen(MapColour(double(bar.bottom() - y) / std::max(1, bar.height() - 1)));
        painter.drawLine(bar.left(), y, bar.right(), y);
    }
    painter.setPen(ToQColor(clSilver));
    painter.drawRect(bar.adjusted(0, 0, -1, -1));
    int lastTop = bar.bottom() + metrics.height();
    for (const TAxisLabel &label : layout.Colours.Labels) {
        const int y = layout.Colours.ToY(label.Value, bar.top(), bar.bottom());
        const int top = y - metrics.height() / 2;
        // From the bottom up; a label that would overlap the one below is left out.
        if (top + metrics.height() > lastTop)
            continue;
        painter.drawLine(bar.right() + 1, y, bar.right() + 3, y);
        painter.drawText(bar.right() + 5, top + metrics.ascent(), label.Text);
        lastTop = top;
    }
}

void DrawMarker(QPainter &painter, const TResponseMapLayout &layout, const TResponseMapPicture &map,
                const QFontMetrics &metrics)
{
    const TPlotGeometry &frame = layout.Frame;
    const int y = layout.PositionToY(map.Position);
    QPen pen(Qt::white, 0, Qt::DashLine);
    painter.setPen(pen);
    painter.drawLine(frame.FrameLeft, y, frame.FrameRight(), y);
    const QString text = map.Control + QStringLiteral(" ") + PositionText(map.Position);
    // Above the line, or below it near the top edge, on a dark backing.
    const int top = y - metrics.height() - 2 >= frame.FrameTop ? y - metrics.height() - 2 : y + 2;
    const QRect box(frame.FrameLeft + 4, top, metrics.horizontalAdvance(text) + 4, metrics.height());
    painter.fillRect(box, QColor(0, 0, 0, 160));
    painter.setPen(Qt::white);
    painter.drawText(box.left() + 2, box.top() + metrics.ascent(), text);
}

void DrawMessage(QPainter &painter, const TPlotGeometry &frame, const QString &message)
{
    painter.setPen(ToQColor(clSilver));
    const QRect inside(frame.FrameLeft + 8, frame.FrameTop + 8, frame.FrameRight() - frame.FrameLeft - 16,
                       frame.FrameBottom() - frame.FrameTop - 16);
    painter.drawText(inside, Qt::AlignCenter | Qt::TextWordWrap, message);
}

} // namespace

QColor MapColour(double fraction)
{
    // Dark blue through teal and green to yellow: brighter is louder, and
    // the order survives printing in grey.
    static constexpr std::array<std::array<int, 3>, 5> anchors{
        {{68, 1, 84}, {59, 82, 139}, {33, 145, 140}, {94, 201, 98}, {253, 231, 37}}};
    const double clamped = std::isfinite(fraction) ? std::clamp(fraction, 0.0, 1.0) : 0.0;
    const double scaled = clamped * (anchors.size() - 1);
    const int below = std::min(static_cast<int>(scaled), int(anchors.size()) - 2);
    const double t = scaled - below;
    int rgb[3];
    for (int c = 0; c < 3; ++c)
        rgb[c] = static_cast<int>(std::lround(anchors[below][c] + (anchors[below + 1][c] - anchors[below][c]) * t));
    return QColor(rgb[0], rgb[1], rgb[2]);
}

int TResponseMapLayout::PositionToY(int position) const
{
    return Frame.FrameBottom() - static_cast<int>(std::trunc(double(Frame.FrameBottom() - Frame.FrameTop) *
                                                             (position - Positions.Low) / Positions.Size()));
}

int TResponseMapLayout::YToPosition(int y) const
{
    return std::clamp(static_cast<int>(std::lround(Positions.At(Frame.YFraction(y)))), 0, SliderMaximum);
}

TViewLimits ResponseMapLimits()
{
    TViewLimits limits = GridViewLimits(2);
    limits.YMargin = 0;
    return limits;
}

TResponseMapLayout LayoutResponseMap(QSize size, const TResponseMapPicture &map, const QPaintDevice *device,
                                     const TViewWindow &window)
{
    const QFontMetrics metrics(PlotLabelFont(), device);
    const TGainRange range = FiniteRange(map.Curves);
    TResponseMapLayout layout;
    layout.Colours = FittedAxis(range.Lowest, range.Highest, 10, QStringLiteral("dB"));
    layout.Positions = window.Y(AllPositions);
    std::vector<QString> positions;
    for (int position : LabelledPositions(layout.Positions))
        positions.push_back(PositionText(position));
    layout.Frame = Windowed(PlotGeometry(size, positions, metrics), window);
    int widest = 0;
    for (const TAxisLabel &label : layout.Colours.Labels)
        widest = std::max(widest, metrics.horizontalAdvance(label.Text));
    layout.Frame.RightMargin = BarGap + BarWidth + 5 + widest + 4;
    layout.Bar = QRect(layout.Frame.FrameRight() + BarGap, layout.Frame.FrameTop, BarWidth,
                       layout.Frame.FrameBottom() - layout.Frame.FrameTop + 1);
    return layout;
}

void RenderResponseMap(QPainter &painter, QSize size, const TResponseMapPicture &map, const TViewWindow &window)
{
    const TResponseMapLayout layout = LayoutResponseMap(size, map, painter.device(), window);
    const TPlotGeometry &frame = layout.Frame;
    std::vector<TGridLabel> labels;
    for (int position : LabelledPositions(layout.Positions))
        labels.push_back({PositionText(position), layout.PositionToY(position)});
    DrawGrid(painter, frame, {}, labels);

    painter.save();
    // The frequency lines past the axis end would stand beside the colour bar.
    painter.fillRect(QRect(QPoint(frame.FrameRight() + 1, 0), QPoint(frame.W - 1, frame.H - 1)), Qt::black);
    painter.setFont(PlotLabelFont());
    const QFontMetrics metrics(PlotLabelFont(), painter.device());
    if (map.Curves.empty()) {
        DrawMessage(painter, frame, map.Message);
        painter.restore();
        return;
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    // The part of the picture (a pixel per grid point across, per position
    // up, position 100 at the top) that the window shows.
    const QImage picture = MapImage(map.Curves, layout.Colours);
    const TSpan decades = frame.Decades;
    const QRectF shown((decades.Low - GridDecades.Low) / GridDecades.Size() * picture.width(),
                       (SliderMaximum - layout.Positions.High) / SliderMaximum * picture.height(),
                       decades.Size() / GridDecades.Size() * picture.width(),
                       layout.Positions.Size() / SliderMaximum * picture.height());
    painter.drawImage(QRectF(QPointF(frame.FrameLeft + 1, frame.FrameTop + 1),
                             QPointF(frame.FrameRight(), frame.FrameBottom())),
                      picture, shown);
    DrawColourBar(painter, layout, metrics);
    if (map.Position >= layout.Positions.Low && map.Position <= layout.Positions.High)
        DrawMarker(painter, layout, map, metrics);
    painter.restore();
}

TResponseMapView::TResponseMapView(QWidget *parent)
    : TNavigableView(FWindow, [this] { update(); }, parent)
{
}

TResponseMapLayout TResponseMapView::Layout() const
{
    return LayoutResponseMap(size(), FMap, this, FWindow);
}

void TResponseMapView::SetMap(TResponseMapPicture map)
{
    FMap = std::move(map);
    update();
}

void TResponseMapView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    RenderResponseMap(painter, size(), FMap, FWindow);
    PaintBand(painter);
    UpdateReadout();
}

void TResponseMapView::UpdateReadout()
{
    QString text;
    const std::optional<QPoint> &pointer = Pointer();
    if (pointer && !FMap.Curves.empty()) {
        const TResponseMapLayout layout = Layout();
        if (layout.Frame.InFrame(pointer->x(), pointer->y())) {
            const double frequency = layout.Frame.XToFreq(pointer->x());
            const int position = layout.YToPosition(pointer->y());
            // The map holds gain only.
            constexpr double None = std::numeric_limits<double>::quiet_NaN();
            text = CursorReadoutText(frequency, TraceAt(FMap.Curves[position], frequency), None, None) +
                   QStringLiteral("   ") + FMap.Control + QStringLiteral(" ") + PositionText(position);
        }
    }
    SayReadout(text);
}

} // namespace cva
