#include "plot/ViewWindow.h"

#include <algorithm>
#include <cmath>

namespace cva {

namespace {

bool Finite(TSpan span)
{
    return std::isfinite(span.Low) && std::isfinite(span.High);
}

// The span of the wanted centre and size, the size within least .. limits'
// size, moved inside the limits.
TSpan Fit(TSpan wanted, TSpan limits, double least)
{
    const double size = std::clamp(std::abs(wanted.Size()), std::min(least, limits.Size()), limits.Size());
    const double low = std::clamp((wanted.Low + wanted.High - size) / 2, limits.Low, limits.High - size);
    return {low, low + size};
}

} // namespace

TSpan TViewWindow::X() const
{
    return FShown ? FShown->X : FLimits.X;
}

TSpan TViewWindow::Y(TSpan startY) const
{
    return FShown ? FShown->Y : startY;
}

void TViewWindow::ZoomAbout(double x, double y, double factor, TSpan startY)
{
    if (!(factor > 0))
        return;
    const TSpan shownX = X();
    const TSpan shownY = Y(startY);
    const double atX = shownX.At(x);
    const double atY = shownY.At(y);
    Show({atX - x * shownX.Size() * factor, atX + (1 - x) * shownX.Size() * factor},
         {atY - y * shownY.Size() * factor, atY + (1 - y) * shownY.Size() * factor}, startY);
}

void TViewWindow::ZoomTo(double x0, double y0, double x1, double y1, TSpan startY)
{
    const TSpan shownX = X();
    const TSpan shownY = Y(startY);
    Show({shownX.At(std::min(x0, x1)), shownX.At(std::max(x0, x1))},
         {shownY.At(std::min(y0, y1)), shownY.At(std::max(y0, y1))}, startY);
}

void TViewWindow::Pan(double dx, double dy, TSpan startY)
{
    const TSpan shownX = X();
    const TSpan shownY = Y(startY);
    Show({shownX.At(dx), shownX.At(1 + dx)}, {shownY.At(dy), shownY.At(1 + dy)}, startY);
}

void TViewWindow::Show(TSpan x, TSpan y, TSpan startY)
{
    // A request that is not finite, as from a frame without size, changes nothing.
    if (!Finite(x) || !Finite(y) || !Finite(startY) || !(startY.Size() > 0))
        return;
    const double margin = FLimits.YMargin * startY.Size();
    const TSpan yLimits{startY.Low - margin, startY.High + margin};
    FShown = TShown{Fit(x, FLimits.X, FLimits.MinX), Fit(y, yLimits, FLimits.MinY)};
}

} // namespace cva
