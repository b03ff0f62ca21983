#pragma once

// The window and the dialogs were laid out in pixels for a line of text 14
// pixels high (a 9-point sans face at 96 dpi). With a larger font, be it a
// higher font resolution or a bigger face, those pixel places grow in the
// same proportion, so that the layouts keep their look and every text fits.

#include <algorithm>
#include <cmath>

#include <QFontMetricsF>
#include <QSize>
#include <QWidget>

namespace cva {

// How much bigger the widget's font is than the one of the pixel places; never
// below 1, so a smaller font keeps the described places.
inline double FontScale(const QWidget &widget)
{
    constexpr double DesignLineHeight = 14;
    return std::max(1.0, QFontMetricsF(widget.font()).height() / DesignLineHeight);
}

inline int Scaled(const QWidget &widget, int pixels)
{
    return static_cast<int>(std::ceil(pixels * FontScale(widget)));
}

inline QSize Scaled(const QWidget &widget, QSize size)
{
    return {Scaled(widget, size.width()), Scaled(widget, size.height())};
}

} // namespace cva
