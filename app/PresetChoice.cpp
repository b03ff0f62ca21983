#include "app/PresetChoice.h"

#include <QKeyEvent>
#include <QWheelEvent>

namespace cva {

TPresetChoice::TPresetChoice(QWidget *parent) : QComboBox(parent)
{
    // Reached by Tab or a click, and so not by a wheel passing over it.
    setFocusPolicy(Qt::StrongFocus);
}

void TPresetChoice::wheelEvent(QWheelEvent *event)
{
    // Left to the window, as if the box were not there.
    event->ignore();
}

void TPresetChoice::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
        if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
            showPopup();
            return;
        }
        break;
    default:
        // Letters would choose the first entry that starts with them.
        if (!event->text().isEmpty() && event->text().at(0).isPrint() && event->key() != Qt::Key_Space) {
            event->ignore();
            return;
        }
        break;
    }
    QComboBox::keyPressEvent(event);
}

} // namespace cva
