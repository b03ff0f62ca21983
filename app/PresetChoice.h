#pragma once

// The preset choice above the schematic. Choosing an entry applies a preset
// and keeps the curve shown so far, so only an explicit choice may do it: a
// click on an entry of the open list or Enter there. A wheel notch or a
// navigation key on the closed box would apply one preset after another.

#include <QComboBox>

namespace cva {

class TPresetChoice : public QComboBox {
public:
    explicit TPresetChoice(QWidget *parent = nullptr);

protected:
    void wheelEvent(QWheelEvent *event) override;
    // Navigation keys open the list instead of choosing from it.
    void keyPressEvent(QKeyEvent *event) override;
};

} // namespace cva
