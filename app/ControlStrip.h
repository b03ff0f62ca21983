#pragma once

// The knobs of the page shown: a row of caption, slider and taper label for
// each of its controls, the numbers 0 to 10 under the last. The rows follow
// the page: a page with other controls gets rows of its own.

#include <string>
#include <vector>

#include <QWidget>

#include "document/Circuit.h"

class QGridLayout;
class QLabel;
class QSlider;

namespace cva {

class TControlStrip : public QWidget {
    Q_OBJECT

public:
    explicit TControlStrip(QWidget *parent = nullptr);

    // Rows for the active page's controls, at their positions, enabled where
    // in use, with their tapers; moves no slider's signal.
    void Show(const TCircuit &circuit);

    int Count() const { return int(FSliders.size()); }
    QSlider *Slider(int control) const { return FSliders.at(std::size_t(control)); }
    QLabel *Caption(int control) const { return FCaptions.at(std::size_t(control)); }
    QLabel *TaperLabel(int control) const { return FTapers.at(std::size_t(control)); }

signals:
    // A slider moved by the user; Dragging while it is held.
    void Moved(int control, int position, bool dragging);
    void DragStarted();
    void DragEnded(int control);

private:
    // New rows for the active page's controls, the sliders at their positions.
    void Rebuild(const TCircuit &circuit);

    QGridLayout *FGrid;
    std::vector<std::string> FLabels; // of the rows shown
    std::vector<QSlider *> FSliders;
    std::vector<QLabel *> FCaptions;
    std::vector<QLabel *> FTapers;
    QWidget *FScale = nullptr;
};

} // namespace cva
