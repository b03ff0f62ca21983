#pragma once

// Asks for the size of an exported picture: the plot's size on screen or
// one of the preset sizes up to 3000 pixels wide, or any width and height.

#include <QDialog>
#include <QSize>

class QComboBox;
class QSpinBox;

namespace cva {

class TExportSizeDialog : public QDialog {
public:
    static constexpr int MaximumSide = 3000;
    static constexpr int MinimumSide = 100;

    // screenSize is the plot's size in pixels on screen, the first choice.
    TExportSizeDialog(QSize screenSize, QWidget *parent = nullptr);

    QSize ChosenSize() const;
    QComboBox *Presets() const { return FPresets; }
    QSpinBox *WidthBox() const { return FWidth; }
    QSpinBox *HeightBox() const { return FHeight; }

private:
    QComboBox *FPresets = nullptr;
    QSpinBox *FWidth = nullptr;
    QSpinBox *FHeight = nullptr;
};

} // namespace cva
