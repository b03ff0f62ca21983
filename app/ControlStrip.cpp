#include "app/ControlStrip.h"

#include <algorithm>

#include <QGridLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>

#include "app/FontScale.h"
#include "app/SliderScale.h"

namespace cva {

namespace {

// At the design font (see FontScale.h).
constexpr QSize SliderSize{225, 24};
const QString SliderHint = QStringLiteral("Move the control left and right to alter the response");

} // namespace

TControlStrip::TControlStrip(QWidget *parent) : QWidget(parent), FGrid(new QGridLayout(this))
{
    FGrid->setContentsMargins(0, 0, 0, 0);
    FGrid->setHorizontalSpacing(Scaled(*this, 4));
    FGrid->setVerticalSpacing(0);
    FGrid->setColumnStretch(1, 1);
}

void TControlStrip::Rebuild(const TCircuit &circuit)
{
    const std::vector<TControlDef> &controls = circuit.ActiveInfo().Controls;
    for (QWidget *row : FSliders)
        delete row;
    for (QWidget *row : FCaptions)
        delete row;
    for (QWidget *row : FTapers)
        delete row;
    delete FScale;
    FSliders.clear();
    FCaptions.clear();
    FTapers.clear();
    FScale = nullptr;
    FLabels.clear();

    for (int control = 0; control < int(controls.size()); ++control) {
        const QString name = QString::fromStdString(controls[std::size_t(control)].Label);
        auto *caption = new QLabel(name, this);
        caption->setObjectName(QStringLiteral("lab%1").arg(name));
        auto *bar = new QSlider(Qt::Horizontal, this);
        bar->setObjectName(QStringLiteral("tb%1").arg(name));
        bar->setMinimumSize(Scaled(*this, SliderSize));
        bar->setRange(0, SliderMaximum);
        bar->setValue(circuit.Position(control));
        bar->setTickPosition(QSlider::NoTicks);
        bar->setToolTip(SliderHint);
        bar->setStatusTip(SliderHint);
        caption->setBuddy(bar);
        connect(bar, &QSlider::valueChanged, this,
                [this, control, bar](int position) { emit Moved(control, position, bar->isSliderDown()); });
        connect(bar, &QSlider::sliderPressed, this, &TControlStrip::DragStarted);
        connect(bar, &QSlider::sliderReleased, this, [this, control] { emit DragEnded(control); });
        auto *taper = new QLabel(this);
        taper->setObjectName(QStringLiteral("labPt%1").arg(name));
        // Wide enough for the longest taper name, so the row does not jump.
        taper->setMinimumWidth(taper->fontMetrics().horizontalAdvance(QStringLiteral("Linear")) + 2);
        FGrid->addWidget(caption, control, 0);
        FGrid->addWidget(bar, control, 1);
        FGrid->addWidget(taper, control, 2);
        FCaptions.push_back(caption);
        FSliders.push_back(bar);
        FTapers.push_back(taper);
        FLabels.push_back(controls[std::size_t(control)].Label);
    }
    if (!FSliders.empty()) {
        FScale = new TSliderScale(*FSliders.back(), this);
        FGrid->addWidget(FScale, Count(), 1);
    }
}

void TControlStrip::Show(const TCircuit &circuit)
{
    const std::vector<TControlDef> &controls = circuit.ActiveInfo().Controls;
    const bool sameRows = std::equal(controls.begin(), controls.end(), FLabels.begin(), FLabels.end(),
                                     [](const TControlDef &control, const std::string &label) {
                                         return control.Label == label;
                                     });
    if (!sameRows)
        Rebuild(circuit);
    for (int control = 0; control < Count(); ++control) {
        const std::size_t i = std::size_t(control);
        const bool enabled = circuit.ControlEnabled(control);
        FCaptions[i]->setEnabled(enabled);
        FSliders[i]->setEnabled(enabled);
        FTapers[i]->setEnabled(enabled);
        FTapers[i]->setText(QString::fromStdString(circuit.TaperLabel(control)));
        const int position = circuit.Position(control);
        if (FSliders[i]->value() != position) {
            const QSignalBlocker blocker(FSliders[i]);
            FSliders[i]->setValue(position);
            FSliders[i]->setToolTip(QStringLiteral("%1%").arg(position));
        }
    }
}

} // namespace cva
