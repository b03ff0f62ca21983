#pragma once

// Plot > Tolerance band: whether the band is shown, the tolerance of each
// kind of part and of single parts, the number of runs and the seed; beside
// each part, how strongly it moves the curve (worked out while the dialog is
// open, away from the GUI thread).

#include <map>
#include <optional>
#include <string>

#include <QDialog>
#include <QFutureWatcher>

#include "app/ToleranceBandWorker.h"
#include "document/Circuit.h"

class QCheckBox;
class QDoubleSpinBox;
class QSpinBox;
class QTableWidget;

namespace cva {

class TToleranceBandDialog : public QDialog {
    Q_OBJECT

public:
    TToleranceBandDialog(const TCircuit &circuit, const TToleranceSettings &settings, QWidget *parent = nullptr);

    // What the dialog shows now, kept for the parts of other pages too.
    TToleranceSettings Settings() const;

    QCheckBox *ShownBox() const { return FShown; }
    QDoubleSpinBox *KindSpin(const std::string &kind) const;
    // A part's own tolerance; at its minimum it follows its kind's.
    QDoubleSpinBox *PartSpin(const std::string &name) const;
    QSpinBox *RunsSpin() const { return FRuns; }
    QSpinBox *SeedSpin() const { return FSeed; }
    QTableWidget *PartTable() const { return FParts; }
    // The parts by how strongly they move the curve, filled once worked out.
    QTableWidget *SensitivityTable() const { return FMoves; }
    bool SensitivityShown() const { return FSensitivityShown; }

private:
    // Nothing when the circuit cannot be computed.
    void ShowSensitivity(const std::optional<std::vector<TSensitivity>> &table);

    TToleranceSettings FSettings;
    QCheckBox *FShown = nullptr;
    std::map<std::string, QDoubleSpinBox *> FKinds;
    std::map<std::string, QDoubleSpinBox *> FPartSpins;
    QTableWidget *FParts = nullptr;
    QTableWidget *FMoves = nullptr;
    QSpinBox *FRuns = nullptr;
    QSpinBox *FSeed = nullptr;
    QFutureWatcher<std::optional<std::vector<TSensitivity>>> FSensitivity;
    bool FSensitivityShown = false;
};

} // namespace cva
