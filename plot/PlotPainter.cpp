#include "plot/PlotPainter.h"

#include <cmath>
#include <vector>

#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>
#include <QPen>
#include <QPoint>

#include "plot/PlotColours.h"

namespace cva {

namespace {

void SetLinePen(QPainter &painter, TColor colour)
{
    QPen pen(ToQColor(colour));
    pen.setCosmetic(true);
    painter.setPen(pen);
}

void HorizontalLine(QPainter &painter, const TPlotGeometry &geometry, int y)
{
    painter.drawLine(TPlotGeometry::FrameLeft, y, geometry.FrameRight(), y);
}

void DrawDBLines(QPainter &painter, const TPlotGeometry &geometry, const TPlotScale &scale)
{
    SetLinePen(painter, clGray);
    for (int db = scale.PlotBottomDB; db <= scale.PlotTopDB; ++db)
        HorizontalLine(painter, geometry, geometry.DBToY(db, scale));
    // The loop starts one ten below the scale (integer division truncates
    // toward zero); that line clamps onto the bottom edge, which the frame
    // draws in the same colour anyway.
    SetLinePen(painter, clSilver);
    for (int n = (scale.PlotBottomDB - 10) / 10; n <= scale.PlotTopDB / 10; ++n)
        HorizontalLine(painter, geometry, geometry.DBToY(10 * n, scale));
}

void DrawFrequencyLines(QPainter &painter, const TPlotGeometry &geometry)
{
    for (int decade = 1; decade <= 4; ++decade) {
        for (int multiplier = 1; multiplier <= 9; ++multiplier) {
            const int x = geometry.FreqToX(multiplier * std::pow(10.0, decade));
            SetLinePen(painter, multiplier == 1 ? clSilver : clGray);
            painter.drawLine(x, TPlotGeometry::FrameTop, x, geometry.FrameBottom());
        }
    }
}

void DrawFrame(QPainter &painter, const TPlotGeometry &geometry)
{
    SetLinePen(painter, clSilver);
    const QPoint corners[] = {
        {TPlotGeometry::FrameLeft, TPlotGeometry::FrameTop},
        {geometry.FrameRight(), TPlotGeometry::FrameTop},
        {geometry.FrameRight(), geometry.FrameBottom()},
        {TPlotGeometry::FrameLeft, geometry.FrameBottom()},
    };
    painter.drawPolygon(corners, 4);
}

QFont LabelFont()
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSize(8);
    return font;
}

// Draws text with its top-left corner at (left, top).
void DrawLabel(QPainter &painter, int left, int top, const QString &text)
{
    painter.drawText(left, top + painter.fontMetrics().ascent(), text);
}

int DBLabelStep(int rangeDB)
{
    if (rangeDB < 10)
        return 1;
    if (rangeDB < 30)
        return 2;
    return 10;
}

void DrawDBLabels(QPainter &painter, const TPlotGeometry &geometry, const TPlotScale &scale)
{
    const QFontMetrics metrics = painter.fontMetrics();
    const int step = DBLabelStep(scale.PlotRangeDB);
    // Centre each label on its line by half the height of a text line.
    const int halfHeight = metrics.height() / 2;
    for (int n = scale.PlotBottomDB / step; n <= scale.PlotTopDB / step; ++n) {
        const QString text = QString::number(n * step) + QStringLiteral("dB");
        const int left = TPlotGeometry::FrameLeft - 3 - metrics.horizontalAdvance(text);
        DrawLabel(painter, left, geometry.DBToY(n * step, scale) - halfHeight, text);
    }
}

void DrawFrequencyLabels(QPainter &painter, const TPlotGeometry &geometry)
{
    const QFontMetrics metrics = painter.fontMetrics();
    int decadeHz = 1;
    for (int decade = 1; decade <= 4; ++decade) {
        decadeHz *= 10;
        const QString text = QString::number(decadeHz) + QStringLiteral("Hz");
        const int left = geometry.FreqToX(decadeHz) - metrics.horizontalAdvance(text) / 2;
        DrawLabel(painter, left, geometry.FrameBottom() + 5, text);
    }
}

} // namespace

void DrawBackground(QPainter &painter, const TPlotGeometry &geometry, const TGridX &gridX,
                    const TPlotScale &scale, const TTraceStore &store)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(0, 0, geometry.W, geometry.H, ToQColor(clBlack));
    DrawDBLines(painter, geometry, scale);
    DrawFrequencyLines(painter, geometry);
    DrawFrame(painter, geometry);

    painter.setFont(LabelFont());
    painter.setPen(ToQColor(clSilver));
    DrawDBLabels(painter, geometry, scale);
    DrawFrequencyLabels(painter, geometry);

    // Newest first, so older snapshots lie on top of newer ones.
    for (int t = 1; t < store.TraceCount; ++t)
        DrawTrace(painter, geometry, gridX, scale, store.Traces[t], store.TraceColours[t]);
    painter.restore();
}

void DrawTrace(QPainter &painter, const TPlotGeometry &geometry, const TGridX &gridX, const TPlotScale &scale,
               const TTrace &trace, TColor colour)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    SetLinePen(painter, colour);
    DrawTraceLine(painter, trace, [&](int k) { return QPoint(gridX[k], geometry.DBToY(trace[k], scale)); });
    painter.restore();
}

void DrawTraceLine(QPainter &painter, const TTrace &trace, const std::function<QPoint(int)> &pointAt)
{
    // Non-finite gains leave a gap in the line.
    std::vector<QPoint> run;
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

void RenderPlot(QPainter &painter, QSize size, const TTraceStore &store, TPlotScale &scale, TColor liveColour)
{
    const TPlotGeometry geometry{size.width(), size.height()};
    const TGridX gridX = BuildGridX(geometry);
    UpdateYRange(scale, store);
    DrawBackground(painter, geometry, gridX, scale, store);
    DrawTrace(painter, geometry, gridX, scale, store.Traces[0], liveColour);
}

} // namespace cva
