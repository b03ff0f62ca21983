#include "app/WindowFit.h"

#include <algorithm>

#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QWidget>

namespace cva {

namespace {

// Before a window is shown its frame is not known; the style's title bar
// and a border are a fair guess, and a window manager's frame is rarely more.
QMargins FrameOf(const QWidget &window)
{
    if (window.isVisible())
        return {window.geometry().left() - window.frameGeometry().left(),
                window.geometry().top() - window.frameGeometry().top(),
                window.frameGeometry().right() - window.geometry().right(),
                window.frameGeometry().bottom() - window.geometry().bottom()};
    const int border = window.style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, &window);
    const int title = window.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &window);
    return {border, title + border, border, border};
}

} // namespace

void FitToScreen(QWidget &window, QSize wanted)
{
    const QScreen *screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen) {
        window.resize(wanted);
        return;
    }
    const QRect available = screen->availableGeometry();
    const QMargins frame = FrameOf(window);
    window.resize(wanted.boundedTo(available.size().shrunkBy(frame)));
    // The frame's corner is the window's position; never above or left of
    // the free area, where the title bar could not be reached.
    QRect framed(QPoint(), window.size().grownBy(frame));
    framed.moveCenter(available.center());
    window.move(std::max(framed.left(), available.left()), std::max(framed.top(), available.top()));
}

} // namespace cva
