#include "app/TubeStageDialog.h"

#include <cmath>

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/LocaleSeparator.h"
#include "components/EngNotation.h"
#include "models/TubeStage.h"
#include "numerics/Error.h"

namespace cva {

namespace {

std::optional<double> FieldNumber(const QLineEdit *edit)
{
    try {
        const double value = EngStrToFloat(edit->text().toStdString(), LocaleDecimalSeparator());
        return value > 0 && std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
    } catch (const CorvantaError &) {
        return std::nullopt;
    }
}

// The tube figures are typical ones, good to a few percent: more digits
// than three would only pretend.
double ThreeDigits(double value)
{
    const double unit = std::pow(10.0, std::floor(std::log10(value)) - 2);
    return std::round(value / unit) * unit;
}

QString EngText(double value)
{
    return QString::fromStdString(FloatToEngStr(value, LocaleDecimalSeparator()));
}

} // namespace

TTubeStageDialog::TTubeStageDialog(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(tr("Source from a tube stage"));
    FTube = new QComboBox(this);
    for (const TTriode &tube : CommonTriodes())
        FTube->addItem(QString::fromLatin1(tube.Name));
    FCommonCathode = new QRadioButton(tr("Common cathode (from the plate)"), this);
    FFollower = new QRadioButton(tr("Cathode follower (from the cathode)"), this);
    FCommonCathode->setChecked(true);
    FPlate = new QLineEdit(EngText(100e3), this);
    FCathode = new QLineEdit(EngText(1.5e3), this);
    FBypassed = new QCheckBox(tr("Cathode resistor bypassed"), this);
    FBypassed->setChecked(true);
    FResult = new QLabel(this);
    FResult->setObjectName("labResult");

    auto *form = new QFormLayout;
    form->addRow(tr("Tube"), FTube);
    form->addRow(FCommonCathode);
    form->addRow(FFollower);
    form->addRow(tr("Plate resistor"), FPlate);
    form->addRow(tr("Cathode resistor"), FCathode);
    form->addRow(FBypassed);
    form->addRow(tr("Source resistance"), FResult);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    FOk = buttons->button(QDialogButtonBox::Ok);
    auto *column = new QVBoxLayout(this);
    column->addLayout(form);
    column->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(FTube, &QComboBox::currentIndexChanged, this, &TTubeStageDialog::Update);
    connect(FFollower, &QRadioButton::toggled, this, &TTubeStageDialog::Update);
    connect(FPlate, &QLineEdit::textChanged, this, &TTubeStageDialog::Update);
    connect(FCathode, &QLineEdit::textChanged, this, &TTubeStageDialog::Update);
    connect(FBypassed, &QCheckBox::toggled, this, &TTubeStageDialog::Update);
    Update();
}

std::optional<double> TTubeStageDialog::Resistance() const
{
    const TTriode &tube = CommonTriodes()[std::size_t(FTube->currentIndex())];
    const std::optional<double> cathode = FieldNumber(FCathode);
    if (FFollower->isChecked())
        return cathode ? std::optional<double>(CathodeFollowerOutputResistance(tube, *cathode)) : std::nullopt;
    const std::optional<double> plate = FieldNumber(FPlate);
    if (!plate)
        return std::nullopt;
    // A bypassed cathode resistor is a short for the signal: its value does not count.
    if (FBypassed->isChecked())
        return CommonCathodeOutputResistance(tube, *plate, 0, true);
    if (!cathode)
        return std::nullopt;
    return CommonCathodeOutputResistance(tube, *plate, *cathode, false);
}

void TTubeStageDialog::Update()
{
    // A follower has no plate resistor in the signal path, and its cathode
    // resistor is never bypassed.
    FPlate->setEnabled(!FFollower->isChecked());
    FBypassed->setEnabled(!FFollower->isChecked());
    FCathode->setEnabled(FFollower->isChecked() || !FBypassed->isChecked());
    const std::optional<double> resistance = Resistance();
    FResult->setText(resistance ? EngText(ThreeDigits(*resistance)) : tr("(a resistor value does not read)"));
    FOk->setEnabled(resistance.has_value());
}

std::optional<double> AskTubeStageResistance(QWidget *parent)
{
    TTubeStageDialog dialog(parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const std::optional<double> resistance = dialog.Resistance();
    return resistance ? std::optional<double>(ThreeDigits(*resistance)) : std::nullopt;
}

} // namespace cva
