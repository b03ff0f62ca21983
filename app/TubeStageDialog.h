#pragma once

// "From a tube stage...": the source resistance of the stage that drives the
// stack, from its tube, its resistors and its cathode.

#include <optional>

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace cva {

class TTubeStageDialog : public QDialog {
    Q_OBJECT

public:
    explicit TTubeStageDialog(QWidget *parent = nullptr);
    // The stage's output resistance, or nothing while a field does not read.
    std::optional<double> Resistance() const;

    QComboBox *TubeChoice() const { return FTube; }
    QRadioButton *FollowerButton() const { return FFollower; }
    QLineEdit *PlateEdit() const { return FPlate; }
    QLineEdit *CathodeEdit() const { return FCathode; }
    QCheckBox *BypassedBox() const { return FBypassed; }
    QLabel *ResultLabel() const { return FResult; }

private:
    void Update();

    QComboBox *FTube = nullptr;
    QRadioButton *FCommonCathode = nullptr;
    QRadioButton *FFollower = nullptr;
    QLineEdit *FPlate = nullptr;
    QLineEdit *FCathode = nullptr;
    QCheckBox *FBypassed = nullptr;
    QLabel *FResult = nullptr;
    QPushButton *FOk = nullptr;
};

// Shows the dialog; the resistance, to the three digits shown, when the user
// confirms it.
std::optional<double> AskTubeStageResistance(QWidget *parent);

} // namespace cva
