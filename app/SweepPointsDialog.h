#pragma once

// Asks for the slider positions the Sweep command visits, such as
// "0, 25, 50, 75, 100"; a text that does not read stays in the field,
// marked, with the reason under it.

#include <vector>

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace cva {

class TSweepPointsDialog : public QDialog {
public:
    TSweepPointsDialog(const std::vector<int> &points, QWidget *parent = nullptr);

    // The positions read when the user pressed OK.
    const std::vector<int> &Points() const { return FPoints; }
    QLineEdit *PointsEdit() const { return FEdit; }
    QLabel *Problem() const { return FProblem; }
    QPushButton *OkButton() const { return FOk; }

    void accept() override;

private:
    std::vector<int> FPoints;
    QLineEdit *FEdit = nullptr;
    QLabel *FProblem = nullptr;
    QPushButton *FOk = nullptr;
};

} // namespace cva
