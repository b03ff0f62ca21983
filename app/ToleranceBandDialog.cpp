#include "app/ToleranceBandDialog.h"

#include <algorithm>
#include <limits>

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QScrollBar>
#include <QLabel>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

#include "plot/CursorReadout.h"

namespace cva {

namespace {

// Every run's curve is kept until the quantiles are taken: 10000 runs at
// High are some 36 MB.
constexpr int MaxRuns = 10000;
constexpr double MaxPercent = 99.9; // a part never reaches zero

const char *KindTitle(const std::string &kind)
{
    if (kind == "R")
        return "Resistors";
    if (kind == "C")
        return "Capacitors";
    if (kind == "L")
        return "Inductors";
    if (kind == "pot")
        return "Pots";
    return "Source";
}

QDoubleSpinBox *PercentSpin(QWidget *parent, double value)
{
    auto *spin = new QDoubleSpinBox(parent);
    spin->setRange(0, MaxPercent);
    spin->setDecimals(1);
    spin->setSuffix(QStringLiteral(" %"));
    spin->setValue(value);
    return spin;
}

// The kinds in the order the dialog lists them.
constexpr const char *Kinds[] = {"R", "C", "L", "pot", "source"};

QTableWidget *ReadOnlyTable(const QStringList &headers, int rows, QWidget *parent)
{
    auto *table = new QTableWidget(rows, int(headers.size()), parent);
    table->setHorizontalHeaderLabels(headers);
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionMode(QAbstractItemView::NoSelection);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->setMinimumHeight(table->fontMetrics().height() * 16);
    return table;
}

// Wide enough for every column without scrolling sideways.
void FitWidth(QTableWidget *table)
{
    table->resizeColumnsToContents();
    table->resizeRowsToContents();
    table->setMinimumWidth(table->horizontalHeader()->length() + table->verticalScrollBar()->sizeHint().width() +
                           2 * table->frameWidth());
}

QTableWidgetItem *NumberItem(const QString &text)
{
    auto *item = new QTableWidgetItem(text);
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

} // namespace

TToleranceBandDialog::TToleranceBandDialog(const TCircuit &circuit, const TToleranceSettings &settings,
                                           QWidget *parent)
    : QDialog(parent), FSettings(settings)
{
    setWindowTitle(tr("Tolerance band"));
    FShown = new QCheckBox(tr("&Show the band behind the live curve"), this);
    FShown->setChecked(settings.Shown);

    // The kinds of this page, each at the setting or at its default.
    const std::vector<TPartTolerance> defaults = DefaultTolerances(circuit);
    TToleranceSettings kindsOnly = settings;
    kindsOnly.PartPercent.clear();
    const std::vector<TPartTolerance> chosen = TolerancesFor(circuit, kindsOnly);
    auto *kinds = new QGroupBox(tr("Each kind of part"), this);
    auto *kindForm = new QFormLayout(kinds);
    for (const char *kind : Kinds) {
        const auto part = std::find_if(chosen.begin(), chosen.end(),
                                       [kind](const TPartTolerance &each) { return each.Kind == kind; });
        if (part == chosen.end())
            continue;
        QDoubleSpinBox *spin = PercentSpin(kinds, part->Percent);
        spin->setObjectName(QString::fromStdString("spinKind_" + part->Kind));
        FKinds[part->Kind] = spin;
        kindForm->addRow(tr(KindTitle(part->Kind)), spin);
    }

    // Each part: its own tolerance, or at the minimum its kind's.
    FParts = ReadOnlyTable({tr("Part"), tr("Kind"), tr("Tolerance")}, int(defaults.size()), this);
    FParts->setObjectName("tabTolerances");
    for (int row = 0; row < int(defaults.size()); ++row) {
        const TPartTolerance &part = defaults[std::size_t(row)];
        FParts->setItem(row, 0, new QTableWidgetItem(QString::fromStdString(part.Name)));
        FParts->setItem(row, 1, new QTableWidgetItem(QString::fromStdString(part.Kind)));
        auto *spin = PercentSpin(FParts, 0);
        spin->setMinimum(-0.1);
        spin->setSpecialValueText(tr("as kind"));
        const auto own = settings.PartPercent.find(part.Name);
        spin->setValue(own != settings.PartPercent.end() ? own->second : spin->minimum());
        FParts->setCellWidget(row, 2, spin);
        FPartSpins[part.Name] = spin;
    }
    FitWidth(FParts);

    // Until the parts' effects are known, their names and room for them.
    FMoves = ReadOnlyTable({tr("Part"), tr("dB per 1%"), tr("at")}, int(defaults.size()), this);
    FMoves->setObjectName("tabSensitivity");
    for (int row = 0; row < int(defaults.size()); ++row) {
        FMoves->setItem(row, 0, new QTableWidgetItem(QString::fromStdString(defaults[std::size_t(row)].Name)));
        FMoves->setItem(row, 1, NumberItem(QStringLiteral("-0.000")));
        FMoves->setItem(row, 2, NumberItem(QStringLiteral("00.0 kHz")));
    }
    FitWidth(FMoves);
    for (int row = 0; row < int(defaults.size()); ++row)
        for (int column = 1; column < 3; ++column)
            FMoves->item(row, column)->setText(QStringLiteral("..."));
    auto *moves = new QLabel(tr("Parts that move the curve most:"), this);

    FRuns = new QSpinBox(this);
    FRuns->setRange(1, MaxRuns);
    FRuns->setValue(settings.Runs);
    FSeed = new QSpinBox(this);
    FSeed->setRange(0, std::numeric_limits<int>::max());
    FSeed->setValue(int(std::min<std::uint64_t>(settings.Seed, std::uint64_t(std::numeric_limits<int>::max()))));
    auto *runs = new QFormLayout;
    runs->addRow(tr("&Runs"), FRuns);
    runs->addRow(tr("S&eed"), FSeed);

    auto *left = new QVBoxLayout;
    left->addWidget(FShown);
    left->addWidget(kinds);
    left->addLayout(runs);
    left->addWidget(new QLabel(tr("Each run draws every part\nuniformly within its tolerance;\n"
                                  "the same seed gives the same band."),
                               this));
    left->addStretch(1);
    auto *middle = new QVBoxLayout;
    middle->addWidget(new QLabel(tr("Single parts:"), this));
    middle->addWidget(FParts);
    auto *right = new QVBoxLayout;
    right->addWidget(moves);
    right->addWidget(FMoves);
    auto *columns = new QHBoxLayout;
    columns->addLayout(left);
    columns->addLayout(middle, 1);
    columns->addLayout(right, 1);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *column = new QVBoxLayout(this);
    column->addLayout(columns, 1);
    column->addWidget(buttons);

    // Two sweeps of the engine per part: quick for a built-in page, not for
    // a large netlist at High, so never on the GUI thread. The work holds a
    // copy of the circuit and may outlive the dialog.
    connect(&FSensitivity, &QFutureWatcher<std::optional<std::vector<TSensitivity>>>::finished, this,
            [this] { ShowSensitivity(FSensitivity.result()); });
    FSensitivity.setFuture(QtConcurrent::run([circuit]() -> std::optional<std::vector<TSensitivity>> {
        try {
            return CalcSensitivity(circuit);
        } catch (const std::exception &) {
            return std::nullopt;
        }
    }));
}

void TToleranceBandDialog::ShowSensitivity(const std::optional<std::vector<TSensitivity>> &table)
{
    FSensitivityShown = true;
    if (!table) {
        FMoves->setRowCount(1);
        FMoves->setItem(0, 0, new QTableWidgetItem(tr("The circuit cannot be computed.")));
        FMoves->setSpan(0, 0, 1, FMoves->columnCount());
        return;
    }
    FMoves->setRowCount(int(table->size()));
    for (int row = 0; row < int(table->size()); ++row) {
        const TSensitivity &part = (*table)[std::size_t(row)];
        FMoves->setItem(row, 0, new QTableWidgetItem(QString::fromStdString(part.Name)));
        FMoves->setItem(row, 1, NumberItem(QLocale().toString(part.DbPerPercent, 'f', 3)));
        FMoves->setItem(row, 2, NumberItem(FrequencyText(part.Frequency)));
    }
}

QDoubleSpinBox *TToleranceBandDialog::KindSpin(const std::string &kind) const
{
    const auto found = FKinds.find(kind);
    return found == FKinds.end() ? nullptr : found->second;
}

QDoubleSpinBox *TToleranceBandDialog::PartSpin(const std::string &name) const
{
    const auto found = FPartSpins.find(name);
    return found == FPartSpins.end() ? nullptr : found->second;
}

TToleranceSettings TToleranceBandDialog::Settings() const
{
    TToleranceSettings settings = FSettings;
    settings.Shown = FShown->isChecked();
    for (const auto &[kind, spin] : FKinds)
        settings.KindPercent[kind] = spin->value();
    for (const auto &[name, spin] : FPartSpins) {
        if (spin->value() < 0)
            settings.PartPercent.erase(name);
        else
            settings.PartPercent[name] = spin->value();
    }
    settings.Runs = FRuns->value();
    settings.Seed = std::uint64_t(FSeed->value());
    return settings;
}

} // namespace cva
