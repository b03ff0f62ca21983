#pragma once

// The part of a plot's axes that is shown: the whole (the start view, which
// the plot fits to its curves) or a window the user zoomed or panned to.
// Every view keeps one; the axes are linear in the units given here (decades
// of hertz across, dB, degrees, milliseconds, decades of ohms or slider
// positions up), so one set of rules serves them all. Whatever is asked, the
// window stays finite, upright, no smaller than the least span and within
// the limits.

#include <optional>

namespace cva {

struct TSpan {
    double Low = 0;
    double High = 1;

    double Size() const { return High - Low; }
    // The value at a fraction of the span: 0 at Low, 1 at High.
    double At(double fraction) const { return Low + fraction * Size(); }
};

struct TViewLimits {
    TSpan X;          // across: the whole of it is the start view
    double MinX = 0;  // the least span shown across
    double MinY = 0;  // and up
    // How far up the window may go past the start view, in start spans
    // on either side, and so how far it zooms out.
    double YMargin = 1;
};

class TViewWindow {
public:
    explicit TViewWindow(TViewLimits limits) : FLimits(limits) {}

    bool Zoomed() const { return FShown.has_value(); }
    // The spans shown, given the start view up as the plot fits it now.
    TSpan X() const;
    TSpan Y(TSpan startY) const;

    // Positions are fractions of the frame: 0 at the left and bottom edges,
    // 1 at the right and top. A factor below 1 zooms in, keeping the value
    // under the given point where it is.
    void ZoomAbout(double x, double y, double factor, TSpan startY);
    // Shows the rectangle between two corners.
    void ZoomTo(double x0, double y0, double x1, double y1, TSpan startY);
    // Moves the window by fractions of its own size.
    void Pan(double dx, double dy, TSpan startY);
    void Reset() { FShown.reset(); }
    // New limits, as for another quantity, start from the whole view.
    void SetLimits(TViewLimits limits)
    {
        FLimits = limits;
        FShown.reset();
    }

private:
    void Show(TSpan x, TSpan y, TSpan startY);

    TViewLimits FLimits;
    struct TShown {
        TSpan X;
        TSpan Y;
    };
    std::optional<TShown> FShown;
};

} // namespace cva
