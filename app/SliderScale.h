#pragma once

// The numbers 0 to 10 under a slider, each centred under the place of the
// slider's handle at that tenth of its range, whatever the slider's width.

#include <array>

#include <QWidget>

class QLabel;
class QSlider;

namespace cva {

class TSliderScale : public QWidget {
public:
    // Lies under slider, in the same parent and the same column.
    TSliderScale(QSlider &slider, QWidget *parent);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void PlaceNumbers();

    QSlider &FSlider;
    std::array<QLabel *, 11> FNumbers{};
};

} // namespace cva
