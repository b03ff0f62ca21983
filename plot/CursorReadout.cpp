#include "plot/CursorReadout.h"

#include <algorithm>
#include <cmath>

#include <QLocale>
#include <QStringList>
#include <QToolTip>
#include <QWidget>

#include "plot/PlotLegend.h"

namespace cva {

namespace {

// Three significant digits for a value from 1 up to 999.5. The limits are
// the rounding points, so 9.996 reads "10.0" rather than "10.00".
QString ThreeDigits(double value)
{
    int decimals = 2;
    for (double limit = 9.995; decimals > 0 && value >= limit; limit *= 10)
        --decimals;
    return QLocale().toString(value, 'f', decimals);
}

} // namespace

QString FrequencyText(double frequency)
{
    // Decided after rounding, so 999.7 Hz reads "1.00 kHz" and not "1000 Hz".
    if (frequency >= 999.5)
        return ThreeDigits(frequency / 1000) + QStringLiteral(" kHz");
    return ThreeDigits(frequency) + QStringLiteral(" Hz");
}

double TraceAt(const TTrace &trace, double frequency)
{
    const double position = std::clamp(GridFirstStep * std::log10(frequency) - GridFirstStep, 0.0,
                                       double(GridPoints - 1));
    const int below = std::min(static_cast<int>(position), GridPoints - 2);
    const double fraction = position - below;
    return trace[below] + (trace[below + 1] - trace[below]) * fraction;
}

QString CursorReadoutText(double frequency, double gain, double phaseDeg, double groupDelayS)
{
    return FrequencyText(frequency) + ValuesText(gain, phaseDeg, groupDelayS);
}

QString ValuesText(double gain, double phaseDeg, double groupDelayS)
{
    QString text;
    auto append = [&text](double value, int decimals, const QString &unit) {
        if (std::isfinite(value))
            text += QStringLiteral("   ") + QLocale().toString(value, 'f', decimals) + unit;
    };
    append(gain, 2, QStringLiteral(" dB"));
    append(phaseDeg, 1, QStringLiteral("\u00b0"));
    append(groupDelayS * 1000, 3, QStringLiteral(" ms"));
    return text;
}

QString CurvesReadoutText(const TTraceStore &store, double frequency)
{
    QStringList lines{FrequencyText(frequency)};
    for (int slot = 0; slot < store.TraceCount; ++slot) {
        if (!store.Shown(slot))
            continue;
        const TTraceQuantities &quantities = store.Quantities[slot];
        lines << CurveLabel(store, slot) + QStringLiteral(":") +
                     ValuesText(TraceAt(store.Traces[slot], frequency), TraceAt(quantities.PhaseDeg, frequency),
                                TraceAt(quantities.GroupDelayS, frequency));
    }
    return lines.size() > 2 ? lines.join(QLatin1Char('\n')) : QString();
}

void ShowCurvesReadout(QWidget *view, QPoint pointer, const QString &text)
{
    if (text.isEmpty()) {
        QToolTip::hideText();
        return;
    }
    // Below and right of the pointer, so that it does not hide the point read.
    QToolTip::showText(view->mapToGlobal(pointer + QPoint(16, 16)), text, view);
}

QString LiveReadoutText(const TTraceStore &store, double frequency)
{
    const TTraceQuantities &live = store.Quantities[0];
    return CursorReadoutText(frequency, TraceAt(store.Traces[0], frequency), TraceAt(live.PhaseDeg, frequency),
                             TraceAt(live.GroupDelayS, frequency));
}

} // namespace cva
