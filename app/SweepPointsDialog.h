#pragma once

// Asks for the slider positions the Sweep command visits, such as
// "0, 25, 50, 75, 100"; a text that does not read, or positions that would
// take more snapshots than the plot holds for the page's controls, stays in
// the field, marked, with the reason under it.

#include <vector>

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace cva {

class TSweepPointsDialog : public QDialog {
public:
    // controls: how many controls the Sweep moves on the page shown.
    TSweepPointsDialog(const std::vector<int> &points, int controls, QWidget *parent = nullptr);

    // The positions read when the user pressed OK.
    const std::vector<int> &Points() const { return FPoints; }
    QLineEdit *PointsEdit() const { return FEdit; }
    QLabel *Problem() const { return FProblem; }
    QPushButton *OkButton() const { return FOk; }

    void accept() override;

private:
    std::vector<int> FPoints;
    int FControls;
    QLineEdit *FEdit = nullptr;
    QLabel *FProblem = nullptr;
    QPushButton *FOk = nullptr;
};

} // namespace cva
