#include "app/SweepPointsDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "document/SweepPoints.h"
#include "models/Calc.h"
#include "numerics/Error.h"

namespace cva {

TSweepPointsDialog::TSweepPointsDialog(const std::vector<int> &points, int controls, QWidget *parent)
    : QDialog(parent), FPoints(points), FControls(controls)
{
    setWindowTitle("Sweep points");
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    auto *hint = new QLabel(QStringLiteral("The Sweep moves each control to these positions,\n"
                                           "from 0 to 100, such as 0, 25, 50, 75, 100.\n"
                                           "The plot holds %1 snapshots.")
                                .arg(MaxTraces - 1),
                            this);
    FEdit = new QLineEdit(QString::fromStdString(FormatSweepPoints(points)), this);
    FEdit->setObjectName("edSweepPoints");
    FEdit->selectAll();
    auto *label = new QLabel("&Positions:", this);
    label->setBuddy(FEdit);
    FProblem = new QLabel(this);
    FProblem->setObjectName("labSweepProblem");
    FProblem->setStyleSheet("color: #b00000");
    FProblem->hide();
    connect(FEdit, &QLineEdit::textEdited, this, [this] {
        FEdit->setStyleSheet(QString());
        FProblem->hide();
    });

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    FOk = buttons->button(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *column = new QVBoxLayout(this);
    column->addWidget(hint);
    column->addWidget(label);
    column->addWidget(FEdit);
    column->addWidget(FProblem);
    column->addWidget(buttons);
    // The dialog grows to show the reason a text does not read.
    column->setSizeConstraint(QLayout::SetFixedSize);
}

void TSweepPointsDialog::accept()
{
    try {
        const std::vector<int> points = ParseSweepPoints(FEdit->text().toStdString());
        const std::size_t snapshots = std::size_t(FControls) * points.size();
        if (snapshots > std::size_t(MaxTraces - 1))
            throw CorvantaError(QStringLiteral("%1 positions of this page's %2 controls take %3 snapshots, and the "
                                               "plot holds %4.")
                                    .arg(points.size())
                                    .arg(FControls)
                                    .arg(snapshots)
                                    .arg(MaxTraces - 1)
                                    .toStdString());
        FPoints = points;
    } catch (const CorvantaError &error) {
        FProblem->setText(QString::fromStdString(error.what()));
        FProblem->show();
        FEdit->setStyleSheet("background: #ffe0e0");
        FEdit->setFocus();
        FEdit->selectAll();
        return;
    }
    QDialog::accept();
}

} // namespace cva
