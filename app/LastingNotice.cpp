#include "app/LastingNotice.h"

#include <algorithm>

#include <QEvent>
#include <QFontMetrics>

namespace cva {

TLastingNotice::TLastingNotice(QWidget *parent) : QLabel(parent)
{
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    hide();
    // Half the bar is a share of the bar's width, which the bar's resize changes.
    if (parent)
        parent->installEventFilter(this);
}

bool TLastingNotice::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        updateGeometry();
    return QLabel::eventFilter(watched, event);
}

void TLastingNotice::SetNotice(const QString &notice)
{
    if (notice == FNotice)
        return;
    FNotice = notice;
    setToolTip(notice);
    setVisible(!notice.isEmpty());
    updateGeometry();
    Elide();
}

QSize TLastingNotice::sizeHint() const
{
    // The whole text, but never more than half the bar: the passing
    // messages keep the other half.
    const int whole = fontMetrics().horizontalAdvance(FNotice) + 2 * margin() + 4;
    const int half = parentWidget() ? parentWidget()->width() / 2 : whole;
    return {std::min(whole, half), QLabel::sizeHint().height()};
}

QSize TLastingNotice::minimumSizeHint() const
{
    return {fontMetrics().horizontalAdvance(QStringLiteral("MMMMMM")), QLabel::minimumSizeHint().height()};
}

void TLastingNotice::resizeEvent(QResizeEvent *event)
{
    QLabel::resizeEvent(event);
    Elide();
}

void TLastingNotice::Elide()
{
    setText(fontMetrics().elidedText(FNotice, Qt::ElideRight, std::max(0, contentsRect().width() - 2 * margin())));
}

} // namespace cva
