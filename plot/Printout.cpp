#include "plot/Printout.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <vector>

#include <QFontDatabase>
#include <QFontMetrics>
#include <QImage>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPen>
#include <QPoint>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include "numerics/Error.h"
#include "plot/PlotGeometry.h"
#include "plot/PlotLegend.h"
#include "plot/PlotPainter.h"
#include "plot/PlotScale.h"
#include "plot/QuantityView.h"

namespace cva {

namespace {

constexpr int BottomMargin = 10; // device units below the notice
const QString NoticeText = QStringLiteral("Printed by Corvanta, the tone stack calculator");
const QString AxisTitleText = QStringLiteral("Frequency");

int LinePitch(const QFontMetrics &metrics)
{
    return metrics.height() + metrics.height() / 3;
}

QString DecadeLabel(int decade)
{
    return QString::number(static_cast<int>(std::pow(10, decade) + 0.5)) + QStringLiteral("Hz");
}

QRect TextBox(const QFontMetrics &metrics, int left, int top, const QString &text)
{
    return {left, top, metrics.horizontalAdvance(text), metrics.height()};
}

// Text with its top-left corner at (left, top).
void DrawText(QPainter &painter, int left, int top, const QString &text)
{
    painter.drawText(left, top + painter.fontMetrics().ascent(), text);
}

// Widths are those of a 300-dpi printer.
void SetPen(QPainter &painter, const TPrintLayout &layout, int width)
{
    painter.setPen(QPen(Qt::black, width * layout.PenScale));
}

// The live trace is solid, each snapshot in a dash pattern of its own, so
// that the legend tells them apart on black-and-white paper.
QPen PrintTracePen(const TPrintLayout &layout, int slot)
{
    QPen pen(Qt::black, 5 * layout.PenScale, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    if (slot > 0)
        pen.setDashPattern(SnapshotDashPattern(slot));
    return pen;
}

QPoint TracePoint(const TPrintLayout &layout, const TTrace &trace, int k)
{
    return {layout.FreqToX(GridFrequency(GridFirstStep + k)), layout.ValueToY(trace[k])};
}

// The fixed gain scale of the page: a line every dB, a heavier one and a
// label every 10 dB.
TValueAxis GainPageAxis()
{
    TValueAxis axis;
    axis.Top = 0;
    axis.Bottom = -50;
    for (int db = -50; db <= 0; ++db)
        axis.Lines.push_back({double(db), db % 10 == 0});
    for (int db = -50; db <= 0; db += 10)
        axis.Labels.push_back({double(db), QString::number(db) + QStringLiteral("dB")});
    return axis;
}

void DrawTrace(QPainter &painter, const TPrintLayout &layout, const TTrace &trace)
{
    DrawTraceLine(painter, trace, [&](int k) { return TracePoint(layout, trace, k); });
}

void DrawHeading(QPainter &painter, const TPrintLayout &layout)
{
    SetPen(painter, layout, 1);
    painter.setFont(PrintoutFont(14, true));
    DrawText(painter, 0, 0, layout.Heading);
    painter.setFont(PrintoutFont(10));
    for (std::size_t n = 0; n < layout.ComponentLines.size(); ++n)
        DrawText(painter, 0, layout.ListLineTop(int(n)), layout.ComponentLines[n]);
    for (std::size_t n = 0; n < layout.ControlLines.size(); ++n)
        DrawText(painter, 0, layout.ControlLineTop(int(n)), layout.ControlLines[n]);
}

void DrawNotice(QPainter &painter, const TPrintLayout &layout)
{
    painter.setFont(PrintoutFont(8));
    DrawText(painter, layout.Notice.left(), layout.Notice.top(), NoticeText);
}

// Starts the one-page document and draws it; a page drawn half-way is
// aborted rather than printed.
void PrintPage(QPrinter &printer, const std::function<void(QPainter &)> &draw)
{
    printer.setDocName(QStringLiteral("Corvanta"));
    QPainter painter;
    if (!painter.begin(&printer))
        throw CorvantaError("The printer could not begin the document.");
    try {
        draw(painter);
    } catch (...) {
        printer.abort();
        painter.end();
        throw;
    }
    painter.end();
}

} // namespace

int TPrintLayout::FreqToX(double frequency) const
{
    return AxisFreqToX(frequency, X0, X1);
}

int TPrintLayout::DBToY(double db) const
{
    return AxisDBToY(db, TPlotScale{}, Y0, Y1);
}

int TPrintLayout::ValueToY(double value) const
{
    return Axis.ToY(value, Y0, Y1);
}

QFont PrintoutFont(int pointSize, bool bold)
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(pointSize);
    font.setBold(bold);
    return font;
}

TPrintLayout LayoutPrintout(QPaintDevice &device, const TSymbolList &symbols, const TCircuitDef &topology,
                            char decimalSeparator, const std::vector<QString> &controlLines)
{
    return LayoutPrintout(device, symbols, topology, decimalSeparator, controlLines, GainPageAxis());
}

TPrintLayout LayoutPrintout(QPaintDevice &device, const TSymbolList &symbols, const TCircuitDef &topology,
                            char decimalSeparator, const std::vector<QString> &controlLines, const TValueAxis &axis)
{
    TPrintLayout layout;
    layout.Axis = axis;
    layout.PenScale = std::max(1.0, device.logicalDpiX() / 300.0);
    const QFontMetrics heading(PrintoutFont(14, true), &device);
    layout.Heading = QStringLiteral("Tone Stack: ") + QString::fromStdString(topology.PrintedName);
    layout.L14 = LinePitch(heading);
    layout.TextW = heading.horizontalAdvance(layout.Heading);

    const QFontMetrics text(PrintoutFont(10), &device);
    layout.L10 = LinePitch(text);
    for (const TSymbolList::Entry &entry : symbols) {
        // The source is no part of the circuit to buy: the page says what it stands for.
        const std::string kind =
            entry.Symbol->Kind() == TElementKind::Generator ? "Source resistance" : entry.Symbol->TypeName();
        const std::string line = std::string(topology.ShownName(entry.Name)) + ", " + kind + ", " +
                                 entry.Symbol->GetCaption(decimalSeparator);
        layout.ComponentLines.push_back(QString::fromStdString(line));
        layout.TextW = std::max(layout.TextW, text.horizontalAdvance(layout.ComponentLines.back()));
    }
    layout.ControlLines = controlLines;
    for (const QString &line : controlLines)
        layout.TextW = std::max(layout.TextW, text.horizontalAdvance(line));

    const int height = text.height();
    // Room for the widest value label with a digit's width on either side.
    QString widestLabel;
    for (const TAxisLabel &label : axis.Labels)
        if (text.horizontalAdvance(label.Text) > text.horizontalAdvance(widestLabel))
            widestLabel = label.Text;
    layout.X0 = layout.TextW + text.horizontalAdvance(QLatin1Char('0') + widestLabel + QLatin1Char('0'));
    layout.X1 = device.width() - text.horizontalAdvance(QStringLiteral("10000Hz")) / 2;
    layout.Y0 = height;
    // Room for five text lines and the margin below the plot: the decade
    // labels, the axis title and the notice.
    layout.Y1 = device.height() - BottomMargin - 5 * height;

    for (int decade = 1; decade <= 4; ++decade) {
        const QString label = DecadeLabel(decade);
        const int left = layout.FreqToX(std::pow(10.0, decade)) - text.horizontalAdvance(label) / 2;
        layout.FrequencyLabels[decade - 1] = TextBox(text, left, layout.Y1 + height / 2, label);
    }
    // The title goes a whole line below the decade labels: half a line, as
    // the labels' own top is, would let it run into the "1000Hz" label on
    // narrow pages.
    layout.AxisTitle = TextBox(text, (layout.X0 + layout.X1 - text.horizontalAdvance(AxisTitleText)) / 2,
                               layout.Y1 + height / 2 + height, AxisTitleText);
    const QFontMetrics small(PrintoutFont(8), &device);
    layout.Notice = TextBox(small, (layout.X0 + layout.X1 - small.horizontalAdvance(NoticeText)) / 2,
                            layout.Y1 + 7 * small.height() / 2, NoticeText);
    return layout;
}

TPrintLayout DrawPrintout(QPainter &painter, const TTraceStore &store, const TSymbolList &symbols,
                          const TCircuitDef &topology, char decimalSeparator, const std::vector<QString> &controlLines)
{
    return DrawAxisPrintout(painter, store, GainPageAxis(), QString(), symbols, topology, decimalSeparator, controlLines);
}

TPrintLayout DrawQuantityPrintout(QPainter &painter, const TTraceStore &store, TQuantity quantity, bool phaseAutoScale,
                                  const TSymbolList &symbols, const TCircuitDef &topology, char decimalSeparator,
                                  const std::vector<QString> &controlLines)
{
    return DrawAxisPrintout(painter, QuantityStore(store, quantity), QuantityAxis(quantity, store, phaseAutoScale),
                            QuantityName(quantity), symbols, topology, decimalSeparator, controlLines);
}

TPrintLayout DrawAxisPrintout(QPainter &painter, const TTraceStore &store, const TValueAxis &axis, const QString &title,
                              const TSymbolList &symbols, const TCircuitDef &topology, char decimalSeparator,
                              const std::vector<QString> &controlLines)
{
    const TPrintLayout layout =
        LayoutPrintout(*painter.device(), symbols, topology, decimalSeparator, controlLines, axis);
    painter.save();
    painter.setBrush(Qt::NoBrush);

    DrawHeading(painter, layout);

    // Every value line thin, then the major ones heavier over them.
    for (const TAxisLine &line : axis.Lines)
        painter.drawLine(layout.X0, layout.ValueToY(line.Value), layout.X1, layout.ValueToY(line.Value));
    SetPen(painter, layout, 3);
    for (const TAxisLine &line : axis.Lines)
        if (line.Major)
            painter.drawLine(layout.X0, layout.ValueToY(line.Value), layout.X1, layout.ValueToY(line.Value));

    // Lines past the axis end (30 kHz and up) would stand in the page's
    // right margin, outside the plot, so they are left out.
    const double axisEnd = GridFrequency(GridLastStep);
    for (int decade = 1; decade <= 4; ++decade) {
        for (int multiplier = 1; multiplier <= 9; ++multiplier) {
            const double frequency = multiplier * std::pow(10.0, decade);
            if (frequency > axisEnd)
                break;
            SetPen(painter, layout, multiplier == 1 ? 3 : 1);
            const int x = layout.FreqToX(frequency);
            painter.drawLine(x, layout.Y0, x, layout.Y1);
        }
    }

    SetPen(painter, layout, 1);
    const QFontMetrics text = painter.fontMetrics();
    const int space = text.horizontalAdvance(QLatin1Char(' '));
    for (const TAxisLabel &label : axis.Labels)
        DrawText(painter, layout.X0 - space - text.horizontalAdvance(label.Text),
                 layout.ValueToY(label.Value) - text.height() / 2, label.Text);
    // The quantity's name in the line above the plot.
    if (!title.isEmpty())
        DrawText(painter, layout.X0, 0, title);
    for (int decade = 1; decade <= 4; ++decade) {
        const QRect &box = layout.FrequencyLabels[decade - 1];
        DrawText(painter, box.left(), box.top(), DecadeLabel(decade));
    }

    // Live trace first, then the shown snapshots from newest to oldest.
    for (int t = 0; t < store.TraceCount; ++t) {
        if (!store.Shown(t))
            continue;
        painter.setPen(PrintTracePen(layout, t));
        DrawTrace(painter, layout, store.Traces[t]);
    }
    DrawLegend(painter, QRect(QPoint(layout.X0, layout.Y0), QPoint(layout.X1, layout.Y1)),
               LegendEntries(store, [&](int slot) { return PrintTracePen(layout, slot); }),
               ShownTracePoints(store, [&](int slot, int k) { return TracePoint(layout, store.Traces[slot], k); }),
               Qt::black, Qt::white);

    SetPen(painter, layout, 1);
    DrawText(painter, layout.AxisTitle.left(), layout.AxisTitle.top(), AxisTitleText);
    DrawNotice(painter, layout);
    painter.restore();
    return layout;
}

TPrintLayout DrawPicturePrintout(QPainter &painter, const TPlotRender &render, const TSymbolList &symbols,
                                 const TCircuitDef &topology, char decimalSeparator,
                                 const std::vector<QString> &controlLines)
{
    QPaintDevice &device = *painter.device();
    const TPrintLayout layout = LayoutPrintout(device, symbols, topology, decimalSeparator, controlLines);
    painter.save();
    DrawHeading(painter, layout);
    // Right of the component list down to the notice, drawn at the screen's
    // pixel size so that labels and lines keep the proportions they have on
    // screen, at twice its density.
    const QRect place(QPoint(layout.TextW + layout.L10, 0), QPoint(device.width() - 1, layout.Notice.top() - 1));
    const qreal devicePerPixel = std::max(1.0, device.logicalDpiX() / 96.0);
    const QSize logical = (QSizeF(place.size()) / devicePerPixel).toSize();
    QImage picture(logical * 2, QImage::Format_RGB32);
    if (picture.isNull() || logical.isEmpty())
        throw CorvantaError("The page has no room for the plot.");
    picture.setDevicePixelRatio(2);
    {
        QPainter onPicture(&picture);
        render(onPicture, logical);
    }
    painter.drawImage(place, picture);
    DrawNotice(painter, layout);
    painter.restore();
    return layout;
}

void PrintPlot(QPrinter &printer, const TTraceStore &store, const TSymbolList &symbols,
               const TCircuitDef &topology, char decimalSeparator, const std::vector<QString> &controlLines)
{
    PrintPage(printer, [&](QPainter &painter) {
        DrawPrintout(painter, store, symbols, topology, decimalSeparator, controlLines);
    });
}

void PrintQuantity(QPrinter &printer, const TTraceStore &store, TQuantity quantity, bool phaseAutoScale,
                   const TSymbolList &symbols, const TCircuitDef &topology, char decimalSeparator,
                   const std::vector<QString> &controlLines)
{
    PrintPage(printer, [&](QPainter &painter) {
        DrawQuantityPrintout(painter, store, quantity, phaseAutoScale, symbols, topology, decimalSeparator, controlLines);
    });
}

void PrintPicture(QPrinter &printer, const TPlotRender &render, const TSymbolList &symbols,
                  const TCircuitDef &topology, char decimalSeparator, const std::vector<QString> &controlLines)
{
    PrintPage(printer, [&](QPainter &painter) {
        DrawPicturePrintout(painter, render, symbols, topology, decimalSeparator, controlLines);
    });
}

bool ExecPrintDialog(QPrinter &printer, QWidget *parent)
{
    QPrintDialog dialog(&printer, parent);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    return dialog.exec() == QDialog::Accepted;
}

void ExecPageSetupDialog(QPrinter &printer, QWidget *parent)
{
    QPageSetupDialog dialog(&printer, parent);
    dialog.exec();
}

void ExecPrintPreview(QPrinter &printer, QWidget *parent, const std::function<void(QPrinter &)> &paintPage)
{
    QPrintPreviewDialog dialog(&printer, parent);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&paintPage](QPrinter *target) { paintPage(*target); });
    dialog.exec();
}

} // namespace cva
