#pragma once

// The plot's named colours as TColor values (0x00BBGGRR) and their QColor.

#include <array>

#include <QColor>

#include "models/Calc.h"

namespace cva {

constexpr TColor RGBColour(int red, int green, int blue)
{
    return TColor(red) | TColor(green) << 8 | TColor(blue) << 16;
}

constexpr TColor clAqua = RGBColour(0, 255, 255);
constexpr TColor clBlack = RGBColour(0, 0, 0);
constexpr TColor clBlue = RGBColour(0, 0, 255);
constexpr TColor clCream = RGBColour(255, 251, 240);
constexpr TColor clFuchsia = RGBColour(255, 0, 255);
constexpr TColor clGray = RGBColour(128, 128, 128);
constexpr TColor clLime = RGBColour(0, 255, 0);
constexpr TColor clMoneyGreen = RGBColour(192, 220, 192);
constexpr TColor clRed = RGBColour(255, 0, 0);
constexpr TColor clSilver = RGBColour(192, 192, 192);
constexpr TColor clSkyBlue = RGBColour(166, 202, 240);
constexpr TColor clWhite = RGBColour(255, 255, 255);
constexpr TColor clYellow = RGBColour(255, 255, 0);

// The colours the live trace cycles through.
constexpr std::array<TColor, 11> PlotColours{clAqua,   clBlue,       clCream, clFuchsia, clSkyBlue, clLime,
                                             clSilver, clMoneyGreen, clRed,   clWhite,   clYellow};

inline QColor ToQColor(TColor colour)
{
    return QColor(colour & 0xFF, colour >> 8 & 0xFF, colour >> 16 & 0xFF);
}

inline TColor FromQColor(const QColor &colour)
{
    return RGBColour(colour.red(), colour.green(), colour.blue());
}

} // namespace cva
