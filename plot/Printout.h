#pragma once

// The printed page: heading with the topology's name, the list of its
// components and the slider settings, and the plot of every trace in use on
// the fixed 0 to -50 dB scale (or the fitted axis of phase, group delay or
// impedance, named above the plot), all in black on the paper: the live trace solid, each
// snapshot with a dash pattern of its own. It is drawn in the device units of
// whatever the painter works on (a printer, a PDF writer or an image); text
// and pen widths scale with the device's resolution (the pens were sized for
// 300 dpi and are never thinner than there), the bottom margin does not.

#include <array>
#include <functional>
#include <vector>

#include <QFont>
#include <QList>
#include <QRect>
#include <QString>

#include "components/SymbolList.h"
#include "models/CircuitDef.h"
#include "models/Calc.h"
#include "plot/PlotPainter.h"
#include "plot/QuantityAxis.h"
#include "plot/TracePens.h"

class QPaintDevice;
class QPainter;
class QPrinter;
class QWidget;

namespace cva {

// Where everything on the page goes, in device units.
struct TPrintLayout {
    QString Heading;                    // "Tone Stack: " + printed name
    std::vector<QString> ComponentLines; // "R1, Resistor, 100k", in store order
    std::vector<QString> ControlLines;   // "Bass 50% (Log A)", a line below the components
    int L14 = 0;   // line pitch of the 14 pt heading font
    int L10 = 0;   // line pitch of the 10 pt font
    int TextW = 0; // widest of the heading, the component and the control lines
    TValueAxis Axis; // up the plot: the gain's fixed scale or a quantity's
    double PenScale = 1; // device resolution over 300 dpi, at least 1
    int X0 = 0, X1 = 0, Y0 = 0, Y1 = 0; // the plot
    // Boxes of the texts under the plot: the decade labels, the axis title
    // and the product notice.
    std::array<QRect, 4> FrequencyLabels{};
    QRect AxisTitle;
    QRect Notice;

    // The screen's axis law between X0 and X1, not clamped.
    int FreqToX(double frequency) const;
    // Always 0 dB at Y0 and -50 dB at Y1, whatever the screen's scale; gains
    // outside lie on the edges.
    int DBToY(double db) const;
    // A value of the page's axis (a stored value, as the traces hold) to y.
    int ValueToY(double value) const;
    // Top of the text line of the component list and control lines.
    int ListLineTop(int line) const { return L14 + L10 + line * L10; }
    int ControlLineTop(int line) const { return ListLineTop(int(ComponentLines.size()) + 1 + line); }
};

// The page's type face at a point size.
QFont PrintoutFont(int pointSize, bool bold = false);

// The layout for a page of the device's size (its printable area).
// `symbols` are the page's own values, listed in their order. The plot
// leaves room on its left for the labels of its axis, the gain's unless told.
TPrintLayout LayoutPrintout(QPaintDevice &device, const TSymbolList &symbols, const TCircuitDef &topology,
                            char decimalSeparator, const std::vector<QString> &controlLines = {});
TPrintLayout LayoutPrintout(QPaintDevice &device, const TSymbolList &symbols, const TCircuitDef &topology,
                            char decimalSeparator, const std::vector<QString> &controlLines, const TValueAxis &axis);

// Draws the page on painter's device; nothing is filled, the paper shows
// through. Returns the layout it used.
TPrintLayout DrawPrintout(QPainter &painter, const TTraceStore &store, const TSymbolList &symbols,
                          const TCircuitDef &topology, char decimalSeparator,
                          const std::vector<QString> &controlLines = {});

// The same page for phase, group delay or input impedance, on the axis the
// screen fits to the curves (not zoomed), the quantity named above the plot.
TPrintLayout DrawQuantityPrintout(QPainter &painter, const TTraceStore &store, TQuantity quantity, bool phaseAutoScale,
                                  const TSymbolList &symbols, const TCircuitDef &topology, char decimalSeparator,
                                  const std::vector<QString> &controlLines = {});
// The page for any traces on any value axis, with a title above the plot
// (none when empty): what the two above draw.
TPrintLayout DrawAxisPrintout(QPainter &painter, const TTraceStore &store, const TValueAxis &axis, const QString &title,
                              const TSymbolList &symbols, const TCircuitDef &topology, char decimalSeparator,
                              const std::vector<QString> &controlLines = {});

// The page of the response map, and of the gain with its tolerance band: heading and component list as above,
// the view's picture as on screen in the plot's place, and the notice.
TPrintLayout DrawPicturePrintout(QPainter &painter, const TPlotRender &render, const TSymbolList &symbols,
                                 const TCircuitDef &topology, char decimalSeparator,
                                 const std::vector<QString> &controlLines = {});

// One document of one page, job title "Corvanta". Also serves the paint
// request of a print preview. Throws CorvantaError when the printer cannot
// start the document.
void PrintPlot(QPrinter &printer, const TTraceStore &store, const TSymbolList &symbols,
               const TCircuitDef &topology, char decimalSeparator, const std::vector<QString> &controlLines = {});
// The same for the pages of DrawQuantityPrintout and DrawPicturePrintout.
void PrintQuantity(QPrinter &printer, const TTraceStore &store, TQuantity quantity, bool phaseAutoScale,
                   const TSymbolList &symbols, const TCircuitDef &topology, char decimalSeparator,
                   const std::vector<QString> &controlLines = {});
void PrintPicture(QPrinter &printer, const TPlotRender &render, const TSymbolList &symbols,
                  const TCircuitDef &topology, char decimalSeparator, const std::vector<QString> &controlLines = {});

// The standard dialogs around printing. ExecPrintDialog offers printing to
// a file and returns true when the user confirms; the page set-up dialog
// leaves its choices in the printer for later jobs; the preview asks
// paintPage for its page (typically a call of PrintPlot that reports its own
// errors, since an exception must not cross the dialog's event loop) and
// prints from its own Print button.
bool ExecPrintDialog(QPrinter &printer, QWidget *parent);
void ExecPageSetupDialog(QPrinter &printer, QWidget *parent);
void ExecPrintPreview(QPrinter &printer, QWidget *parent, const std::function<void(QPrinter &)> &paintPage);

} // namespace cva
