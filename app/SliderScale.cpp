#include "app/SliderScale.h"

#include <algorithm>

#include <QEvent>
#include <QLabel>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>

namespace cva {

TSliderScale::TSliderScale(QSlider &slider, QWidget *parent) : QWidget(parent), FSlider(slider)
{
    for (int n = 0; n < int(FNumbers.size()); ++n) {
        FNumbers[n] = new QLabel(QString::number(n), this);
        FNumbers[n]->setAlignment(Qt::AlignCenter);
    }
    FSlider.installEventFilter(this);
}

QSize TSliderScale::sizeHint() const
{
    return {0, FNumbers.back()->sizeHint().height()};
}

bool TSliderScale::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == &FSlider && (event->type() == QEvent::Resize || event->type() == QEvent::Move))
        PlaceNumbers();
    return QWidget::eventFilter(watched, event);
}

void TSliderScale::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    PlaceNumbers();
}

void TSliderScale::PlaceNumbers()
{
    QStyleOptionSlider option;
    option.initFrom(&FSlider);
    option.orientation = FSlider.orientation();
    option.minimum = FSlider.minimum();
    option.maximum = FSlider.maximum();
    option.rect = FSlider.rect();
    const int offset = FSlider.x() - x();
    for (int n = 0; n < int(FNumbers.size()); ++n) {
        const int value = option.minimum + (option.maximum - option.minimum) * n / 10;
        option.sliderPosition = value;
        option.sliderValue = value;
        const QRect handle =
            FSlider.style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, &FSlider);
        QLabel *number = FNumbers[n];
        const int width = number->sizeHint().width();
        // The end numbers stay whole within the scale.
        const int left = std::clamp(offset + handle.center().x() - width / 2 + 1, 0, std::max(0, this->width() - width));
        number->setGeometry(left, 0, width, height());
    }
}

} // namespace cva
