#include "plot/QuantityAxis.h"

#include <algorithm>
#include <cmath>

#include <QLocale>

#include "components/EngNotation.h"
#include "plot/PlotGeometry.h"

namespace cva {

namespace {

struct TRange {
    double Lowest = 0;
    double Highest = 0;
    bool Any = false;
};

// The finite display values of every trace shown.
TRange DisplayRange(const TTraceStore &store, TQuantity quantity, double unitScale, bool logarithmic)
{
    TRange range{1e300, -1e300, false};
    for (int t = 0; t < store.TraceCount; ++t) {
        if (!store.Shown(t))
            continue;
        for (double stored : QuantityTrace(store, quantity, t)) {
            const double value = logarithmic ? std::log10(stored) : stored * unitScale;
            if (!std::isfinite(value))
                continue;
            range.Any = true;
            range.Lowest = std::min(range.Lowest, value);
            range.Highest = std::max(range.Highest, value);
        }
    }
    return range;
}

// A step of 1, 2 or 5 times a power of ten giving about five divisions.
double NiceStep(double span)
{
    const double raw = span / 5;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double mantissa : {1.0, 2.0, 5.0})
        if (mantissa * power >= raw)
            return mantissa * power;
    return 10 * power;
}

QString LinearLabel(double value, const QString &unit)
{
    return QLocale().toString(value, 'g', 6) + unit;
}

// A linear axis fitted to the range, with grey lines between the steps.
void FitLinear(TValueAxis &axis, double lowest, double highest, double defaultSpan, const QString &unit)
{
    // A flat trace still needs some height to map values to pixels.
    if (highest - lowest < defaultSpan * 1e-6) {
        lowest -= defaultSpan / 2;
        highest += defaultSpan / 2;
    }
    const double step = NiceStep(highest - lowest);
    const long first = std::lround(std::floor(lowest / step));
    const long last = std::lround(std::ceil(highest / step));
    axis.Bottom = first * step;
    axis.Top = last * step;
    const int minorPerStep = std::lround(step / std::pow(10.0, std::floor(std::log10(step)))) == 2 ? 4 : 5;
    for (long n = first; n <= last; ++n) {
        const double value = n * step;
        axis.Lines.push_back({value / axis.UnitScale, true});
        axis.Labels.push_back({value / axis.UnitScale, LinearLabel(value, unit)});
        for (int m = 1; m < minorPerStep && n < last; ++m)
            axis.Lines.push_back({(value + m * step / minorPerStep) / axis.UnitScale, false});
    }
}

void FitLinear(TValueAxis &axis, const TRange &range, double defaultSpan, const QString &unit)
{
    FitLinear(axis, range.Any ? range.Lowest : -defaultSpan / 2, range.Any ? range.Highest : defaultSpan / 2,
              defaultSpan, unit);
}

TValueAxis FixedPhaseAxis()
{
    TValueAxis axis;
    axis.Top = 180;
    axis.Bottom = -180;
    for (int degrees = -180; degrees <= 180; degrees += 45) {
        axis.Lines.push_back({double(degrees), degrees % 90 == 0});
        axis.Labels.push_back({double(degrees), LinearLabel(degrees, QStringLiteral("\u00b0"))});
    }
    return axis;
}

QString OhmsLabel(double ohms)
{
    return QString::fromStdString(FloatToEngStr(ohms, QLocale().decimalPoint()[0].toLatin1())) + QStringLiteral("\u03a9");
}

// Decades of ohms from lowest to highest, a line at each multiple, a label at each decade.
TValueAxis ImpedanceDecades(int lowest, int highest)
{
    TValueAxis axis;
    axis.Logarithmic = true;
    axis.Bottom = lowest;
    axis.Top = highest;
    for (int decade = lowest; decade <= highest; ++decade) {
        const double ohms = std::pow(10.0, decade);
        axis.Lines.push_back({ohms, true});
        axis.Labels.push_back({ohms, OhmsLabel(ohms)});
        for (int multiplier = 2; multiplier <= 9 && decade < highest; ++multiplier)
            axis.Lines.push_back({multiplier * ohms, false});
    }
    return axis;
}

TValueAxis ImpedanceAxis(const TTraceStore &store)
{
    const TRange range = DisplayRange(store, TQuantity::Impedance, 1, true);
    const int lowest = range.Any ? static_cast<int>(std::floor(std::clamp(range.Lowest, -30.0, 30.0))) : 3;
    const int highest = range.Any ? static_cast<int>(std::ceil(std::clamp(range.Highest, -30.0, 30.0))) : 6;
    return ImpedanceDecades(lowest, highest == lowest ? highest + 1 : highest);
}

QString QuantityUnit(TQuantity quantity)
{
    return quantity == TQuantity::Phase ? QStringLiteral("\u00b0") : QStringLiteral("ms");
}

// Keeps the lines and labels within the axis' ends.
void DropOutside(TValueAxis &axis)
{
    const auto outside = [&](double stored) {
        const double display = axis.Logarithmic ? std::log10(stored) : stored * axis.UnitScale;
        const double allowance = (axis.Top - axis.Bottom) * 1e-9;
        return !(display >= axis.Bottom - allowance && display <= axis.Top + allowance);
    };
    std::erase_if(axis.Lines, [&](const TAxisLine &line) { return outside(line.Value); });
    std::erase_if(axis.Labels, [&](const TAxisLabel &label) { return outside(label.Value); });
}

} // namespace

const TTrace &QuantityTrace(const TTraceStore &store, TQuantity quantity, int slot)
{
    const TTraceQuantities &quantities = store.Quantities[slot];
    switch (quantity) {
    case TQuantity::Phase:
        return quantities.PhaseDeg;
    case TQuantity::GroupDelay:
        return quantities.GroupDelayS;
    case TQuantity::Impedance:
        break;
    }
    return quantities.ImpedanceOhm;
}

TTraceStore QuantityStore(const TTraceStore &store, TQuantity quantity)
{
    TTraceStore projected = store;
    for (int t = 0; t < store.TraceCount; ++t)
        projected.Traces[t] = QuantityTrace(store, quantity, t);
    return projected;
}

TValueAxis FittedAxis(double lowest, double highest, double defaultSpan, const QString &unit)
{
    TValueAxis axis;
    FitLinear(axis, lowest, highest, defaultSpan, unit);
    return axis;
}

int TValueAxis::ToY(double value, int top, int bottom) const
{
    const double display = Logarithmic ? std::log10(value) : value * UnitScale;
    if (!(display < Top) || !(Top > Bottom))
        return top;
    const double clamped = std::max(display, Bottom);
    return top + static_cast<int>(std::trunc((Top - clamped) * (bottom - top) / (Top - Bottom)));
}

TValueAxis QuantityAxis(TQuantity quantity, const TTraceStore &store, bool phaseAutoScale)
{
    TValueAxis axis;
    switch (quantity) {
    case TQuantity::Phase:
        if (!phaseAutoScale)
            return FixedPhaseAxis();
        FitLinear(axis, DisplayRange(store, quantity, 1, false), 90, QStringLiteral("\u00b0"));
        return axis;
    case TQuantity::GroupDelay:
        axis.UnitScale = 1000;
        FitLinear(axis, DisplayRange(store, quantity, axis.UnitScale, false), 1, QStringLiteral("ms"));
        return axis;
    case TQuantity::Impedance:
        break;
    }
    return ImpedanceAxis(store);
}

TSpan AxisSpan(const TValueAxis &axis)
{
    return {axis.Bottom, axis.Top};
}

TValueAxis WindowedAxis(TQuantity quantity, const TValueAxis &axis, const TViewWindow &window)
{
    if (!window.Zoomed())
        return axis;
    const TSpan shown = window.Y(AxisSpan(axis));
    TValueAxis windowed;
    if (axis.Logarithmic) {
        windowed = ImpedanceDecades(static_cast<int>(std::floor(shown.Low)), static_cast<int>(std::ceil(shown.High)));
    } else {
        windowed.UnitScale = axis.UnitScale;
        FitLinear(windowed, shown.Low, shown.High, QuantityViewLimits(quantity).MinY, QuantityUnit(quantity));
    }
    windowed.Top = shown.High;
    windowed.Bottom = shown.Low;
    DropOutside(windowed);
    // Within a decade of ohms, the lines between the decades are labelled.
    if (axis.Logarithmic && windowed.Labels.size() < 2) {
        windowed.Labels.clear();
        for (const TAxisLine &line : windowed.Lines)
            windowed.Labels.push_back({line.Value, OhmsLabel(line.Value)});
    }
    return windowed;
}

TViewLimits QuantityViewLimits(TQuantity quantity)
{
    // A tenth of a degree, a microsecond, a fortieth of a decade of ohms.
    switch (quantity) {
    case TQuantity::Phase:
        return GridViewLimits(0.1);
    case TQuantity::GroupDelay:
        return GridViewLimits(0.001);
    case TQuantity::Impedance:
        break;
    }
    return GridViewLimits(0.025);
}

} // namespace cva
