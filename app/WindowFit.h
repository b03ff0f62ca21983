#pragma once

// A window that opens, or comes back at the size it had, fits the free area
// of its screen with its frame and title bar: on a small screen, or at a
// large font or scale, it is made smaller rather than placed partly off the
// screen where it cannot be moved or resized.

#include <QSize>

class QWidget;

namespace cva {

// Resizes the window to 'wanted', or less where the screen is smaller, and
// centres it with its frame on the screen's free area.
void FitToScreen(QWidget &window, QSize wanted);

} // namespace cva
