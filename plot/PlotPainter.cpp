#include "plot/PlotPainter.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>
#include <QPen>
#include <QPoint>

#include "plot/BandPainter.h"
#include "plot/PlotColours.h"
#include "plot/PlotLegend.h"
#include "plot/PlotMarkers.h"
#include "plot/TracePens.h"

namespace cva {

namespace {

// Grid lines stay crisp (whole device pixels, no antialiasing) and grow
// with the picture's scale as the labels do.
void SetLinePen(QPainter &painter, TColor colour)
{
    QPen pen(ToQColor(colour), std::max(1, int(painter.device()->devicePixelRatioF())));
    pen.setCosmetic(true);
    painter.setPen(pen);
}

void HorizontalLine(QPainter &painter, const TPlotGeometry &geometry, int y)
{
    painter.drawLine(geometry.FrameLeft, y, geometry.FrameRight(), y);
}

// The steps of the dB grid: a grey line every Minor dB, a silver one every
// Major, a label every Label. A span under 1 dB, which only zooming gives,
// takes the steps of a span ten times as large, a tenth as long, and so on.
struct TDBSteps {
    double Minor = 1;
    double Major = 10;
    double Label = 10;
    int Decimals = 0; // of the labels
};

TDBSteps DBSteps(double range)
{
    TDBSteps steps;
    while (range > 0 && range < 2 * steps.Minor && steps.Decimals < 6) {
        steps.Minor /= 10;
        ++steps.Decimals;
    }
    steps.Major = 10 * steps.Minor;
    const double scaled = range / steps.Minor;
    steps.Label = (scaled < 10 ? 1 : scaled < 30 ? 2 : 10) * steps.Minor;
    return steps;
}

// The multiples of step within the scale, from the bottom up.
std::vector<double> MultiplesInScale(double step, const TPlotScale &scale)
{
    std::vector<double> values;
    // The small allowance keeps the ends, which rounding may push a hair out.
    const long first = std::lround(std::ceil(scale.PlotBottomDB / step - 1e-9));
    const long last = std::lround(std::floor(scale.PlotTopDB / step + 1e-9));
    for (long n = first; n <= last; ++n)
        values.push_back(double(n) * step);
    return values;
}

// The dB grid: a grey line at every step, then the silver ones over them.
std::vector<TGridLine> DBLines(const TPlotGeometry &geometry, const TPlotScale &scale)
{
    const TDBSteps steps = DBSteps(scale.PlotRangeDB);
    std::vector<TGridLine> lines;
    for (double db : MultiplesInScale(steps.Minor, scale))
        lines.push_back({geometry.DBToY(db, scale), false});
    for (double db : MultiplesInScale(steps.Major, scale))
        lines.push_back({geometry.DBToY(db, scale), true});
    return lines;
}

// Whether x lies across the frame (with half a pixel's allowance at the edges).
bool AcrossFrame(const TPlotGeometry &geometry, double x)
{
    return x > geometry.FrameLeft - 0.5 && x < geometry.FrameRight() + 0.5;
}

// A frequency of the grid's lines across, with its rank: 1 for the decades,
// 2 for their other multiples, 3 for the tenths between those, which only a
// view zoomed to less than half a decade shows.
struct TFrequencyLine {
    int Hertz;
    int Rank;
};

// The lines across the frame, decades first, then by rank.
std::vector<TFrequencyLine> FrequencyLines(const TPlotGeometry &geometry)
{
    std::vector<TFrequencyLine> lines;
    const int finest = geometry.Decades.Size() < 0.5 ? 3 : 2;
    for (int rank = 1; rank <= finest; ++rank) {
        for (int decade = 1; decade <= 4; ++decade) {
            const int tenth = static_cast<int>(std::lround(std::pow(10.0, decade - 1)));
            for (int tenths = 10; tenths < 100; ++tenths) {
                const int lineRank = tenths == 10 ? 1 : tenths % 10 == 0 ? 2 : 3;
                const int hertz = tenths * tenth;
                if (lineRank == rank && AcrossFrame(geometry, geometry.FreqToXF(hertz)))
                    lines.push_back({hertz, rank});
            }
        }
    }
    return lines;
}

void DrawFrequencyLines(QPainter &painter, const TPlotGeometry &geometry)
{
    for (const TFrequencyLine &line : FrequencyLines(geometry)) {
        const int x = geometry.FreqToX(line.Hertz);
        SetLinePen(painter, line.Rank == 1 ? clSilver : clGray);
        painter.drawLine(x, geometry.FrameTop, x, geometry.FrameBottom());
    }
}

void DrawFrame(QPainter &painter, const TPlotGeometry &geometry)
{
    SetLinePen(painter, clSilver);
    const QPoint corners[] = {
        {geometry.FrameLeft, geometry.FrameTop},
        {geometry.FrameRight(), geometry.FrameTop},
        {geometry.FrameRight(), geometry.FrameBottom()},
        {geometry.FrameLeft, geometry.FrameBottom()},
    };
    painter.drawPolygon(corners, 4);
}

QString DBLabelText(double db, int decimals)
{
    return QString::number(db, 'f', decimals) + QStringLiteral("dB");
}

// How far below the frame the decade labels start: 5 pixels, or more where
// a large font makes the lowest dB label, centred on the frame's bottom
// edge, reach further down.
int DecadeLabelGap(const QFontMetrics &metrics)
{
    return std::max(5, metrics.ascent() - metrics.height() / 2 + 1);
}

std::vector<TGridLabel> DBLabels(const TPlotGeometry &geometry, const TPlotScale &scale)
{
    const TDBSteps steps = DBSteps(scale.PlotRangeDB);
    std::vector<TGridLabel> labels;
    for (double db : MultiplesInScale(steps.Label, scale))
        labels.push_back({DBLabelText(db, steps.Decimals), geometry.DBToY(db, scale)});
    return labels;
}

} // namespace

QFont PlotLabelFont()
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSize(8);
    return font;
}

TPlotGeometry PlotGeometry(QSize size, const TPlotScale &scale, const QFontMetrics &labelMetrics)
{
    std::vector<QString> texts;
    for (const TGridLabel &label : DBLabels(TPlotGeometry{}, scale))
        texts.push_back(label.Text);
    return PlotGeometry(size, texts, labelMetrics);
}

TPlotGeometry PlotGeometry(QSize size, const std::vector<QString> &valueLabels, const QFontMetrics &labelMetrics)
{
    TPlotGeometry geometry{size.width(), size.height()};
    int widest = 0;
    for (const QString &text : valueLabels)
        widest = std::max(widest, labelMetrics.horizontalAdvance(text));
    // A dB label ends 3 pixels left of the frame and is centred on its line.
    geometry.FrameLeft = std::max(geometry.FrameLeft, widest + 4);
    geometry.FrameTop = std::max(geometry.FrameTop, labelMetrics.height() / 2 + 1);
    geometry.BottomMargin =
        std::max(geometry.BottomMargin, DecadeLabelGap(labelMetrics) + labelMetrics.ascent() + 2);
    return geometry;
}

std::vector<TPlotLabel> PlotLabels(const TPlotGeometry &geometry, const TPlotScale &scale,
                                   const QFontMetrics &labelMetrics)
{
    return PlotLabels(geometry, DBLabels(geometry, scale), labelMetrics);
}

std::vector<TPlotLabel> PlotLabels(const TPlotGeometry &geometry, const std::vector<TGridLabel> &valueLabels,
                                   const QFontMetrics &labelMetrics)
{
    const QRect picture(0, 0, geometry.W, geometry.H);
    std::vector<TPlotLabel> kept;
    auto offer = [&](const QString &text, int left, int top) {
        const QRect box(left, top, labelMetrics.horizontalAdvance(text), labelMetrics.ascent());
        if (!picture.contains(box))
            return;
        for (const TPlotLabel &label : kept)
            if (label.Box.intersects(box))
                return;
        kept.push_back({text, box});
    };
    // Each dB label is centred on its line by half the height of a text line.
    const int halfHeight = labelMetrics.height() / 2;
    for (const TGridLabel &label : valueLabels)
        offer(label.Text, geometry.FrameLeft - 3 - labelMetrics.horizontalAdvance(label.Text), label.Y - halfHeight);
    // The decades first; a view zoomed to less than a decade and a half
    // labels the lines between them too, where there is room.
    const int labelled = geometry.Decades.Size() < 1.5 ? 3 : 1;
    for (const TFrequencyLine &line : FrequencyLines(geometry)) {
        if (line.Rank > labelled)
            continue;
        const QString text = QString::number(line.Hertz) + QStringLiteral("Hz");
        offer(text, geometry.FreqToX(line.Hertz) - labelMetrics.horizontalAdvance(text) / 2,
              geometry.FrameBottom() + DecadeLabelGap(labelMetrics));
    }
    return kept;
}

void DrawGrid(QPainter &painter, const TPlotGeometry &geometry, const std::vector<TGridLine> &lines,
              const std::vector<TGridLabel> &labels)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(0, 0, geometry.W, geometry.H, ToQColor(clBlack));
    for (const TGridLine &line : lines) {
        SetLinePen(painter, line.Major ? clSilver : clGray);
        HorizontalLine(painter, geometry, line.Y);
    }
    DrawFrequencyLines(painter, geometry);
    DrawFrame(painter, geometry);

    painter.setFont(PlotLabelFont());
    painter.setPen(ToQColor(clSilver));
    const QFontMetrics metrics = painter.fontMetrics();
    for (const TPlotLabel &label : PlotLabels(geometry, labels, metrics))
        painter.drawText(label.Box.left(), label.Box.top() + metrics.ascent(), label.Text);
    painter.restore();
}

void DrawBackground(QPainter &painter, const TPlotGeometry &geometry, const TGridX &gridX,
                    const TPlotScale &scale, const TTraceStore &store, TColor liveColour)
{
    DrawGrid(painter, geometry, DBLines(geometry, scale), DBLabels(geometry, scale));

    // Newest first, so older snapshots lie on top of newer ones.
    for (int t = 1; t < store.TraceCount; ++t)
        if (store.Shown(t))
            DrawTrace(painter, geometry, gridX, scale, store.Traces[t], ScreenTracePen(store, t, liveColour));
}

void DrawTrace(QPainter &painter, const TPlotGeometry &geometry, const TGridX &gridX, const TPlotScale &scale,
               const TTrace &trace, const QPen &pen)
{
    painter.save();
    ClipToFrame(painter, geometry);
    // A scaled picture places points between its logical pixels.
    const bool fine = PrepareTracePainter(painter);
    painter.setPen(pen);
    DrawTraceLine(painter, trace, [&](int k) {
        if (!fine)
            return QPointF(gridX[k], geometry.DBToY(trace[k], scale));
        return QPointF(geometry.FreqToXF(GridFrequency(GridFirstStep + k)), geometry.DBToYF(trace[k], scale));
    });
    painter.restore();
}

void DrawTraceLine(QPainter &painter, const TTrace &trace, const std::function<QPointF(int)> &pointAt)
{
    // Non-finite gains leave a gap in the line.
    std::vector<QPointF> run;
    run.reserve(GridPoints);
    auto flush = [&] {
        if (run.size() > 1)
            painter.drawPolyline(run.data(), static_cast<int>(run.size()));
        run.clear();
    };
    for (int k = 0; k < GridPoints; ++k) {
        if (std::isfinite(trace[k]))
            run.push_back(pointAt(k));
        else
            flush();
    }
    flush();
}

void ClipToFrame(QPainter &painter, const TPlotGeometry &geometry)
{
    painter.setClipRect(QRect(QPoint(geometry.FrameLeft, geometry.FrameTop),
                              QPoint(geometry.FrameRight(), geometry.FrameBottom())),
                        Qt::IntersectClip);
}

void RenderPlot(QPainter &painter, QSize size, const TTraceStore &store, TPlotScale &fitted, TColor liveColour,
                TPlotExtras extras)
{
    UpdateYRange(fitted, store);
    const TPlotScale scale = WindowedScale(fitted, extras.Window);
    const TPlotGeometry geometry =
        Windowed(PlotGeometry(size, scale, QFontMetrics(PlotLabelFont(), painter.device())), extras.Window);
    const TGridX gridX = BuildGridX(geometry);
    DrawBackground(painter, geometry, gridX, scale, store, liveColour);
    if (extras.Band)
        DrawToleranceBand(painter, geometry, scale, *extras.Band, liveColour);
    DrawTrace(painter, geometry, gridX, scale, store.Traces[0], ScreenTracePen(store, 0, liveColour));
    if (extras.Markers)
        DrawMarkers(painter, geometry, scale, FindCurveMarkers(store.Traces[0]), MarkerColour());
    if (extras.Legend)
        DrawPlotLegend(painter, geometry, gridX, scale, store, liveColour, extras.LegendAt);
}

} // namespace cva

namespace cva {

TPlotRender GainPlotRender(const TTraceStore &store, const TPlotScale &scale, TColor liveColour, TPlotExtras extras)
{
    return [&store, scale, liveColour, extras](QPainter &painter, QSize size) {
        TPlotScale drawn = scale;
        RenderPlot(painter, size, store, drawn, liveColour, extras);
    };
}

void DrawPlotNotice(QPainter &painter, const TPlotGeometry &geometry, const QString &notice)
{
    if (notice.isEmpty())
        return;
    painter.save();
    painter.setFont(PlotLabelFont());
    const QFontMetrics metrics = painter.fontMetrics();
    const int pad = std::max(2, metrics.height() / 4);
    const int width = geometry.FrameRight() - geometry.FrameLeft - 4 * pad;
    const QString line = metrics.elidedText(notice, Qt::ElideRight, std::max(0, width));
    const int textWidth = metrics.horizontalAdvance(line);
    const QRect box((geometry.FrameLeft + geometry.FrameRight() - textWidth) / 2 - pad,
                    (geometry.FrameTop + geometry.FrameBottom() - metrics.height()) / 2 - pad, textWidth + 2 * pad,
                    metrics.height() + 2 * pad);
    painter.fillRect(box, ToQColor(clBlack));
    painter.setPen(ToQColor(clSilver));
    painter.drawText(box.left() + pad, box.top() + pad + metrics.ascent(), line);
    painter.restore();
}

QColor MarkerColour()
{
    return ToQColor(clWhite);
}

void RenderTitled(QPainter &painter, QSize size, const QString &title, const TPlotRender &render)
{
    if (title.isEmpty()) {
        render(painter, size);
        return;
    }
    painter.save();
    painter.setFont(PlotLabelFont());
    const QFontMetrics metrics = painter.fontMetrics();
    const int band = metrics.height() + 6;
    painter.fillRect(0, 0, size.width(), band, ToQColor(clBlack));
    painter.setPen(ToQColor(clSilver));
    // A title wider than the picture ends in an ellipsis rather than outside.
    const int left = TPlotGeometry{}.RightMargin;
    painter.drawText(left, 3 + metrics.ascent(), metrics.elidedText(title, Qt::ElideRight, size.width() - 2 * left));
    painter.translate(0, band);
    render(painter, QSize(size.width(), std::max(0, size.height() - band)));
    painter.restore();
}

} // namespace cva
