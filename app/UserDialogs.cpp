#include "app/UserDialogs.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QGuiApplication>
#include <QInputDialog>

#include "app/ExportSizeDialog.h"
#include "app/SweepPointsDialog.h"
#include "app/ToleranceBandDialog.h"
#include "document/CircuitFile.h"
#include "help/HelpSystem.h"

namespace cva {

namespace {

const QString FileFilter = QStringLiteral("Tonestack files (*.cva)");
const QString OpenFilter =
    QStringLiteral("Tonestack files and netlists (*.cva *.cir *.net *.sp *.spice);;Tonestack files (*.cva);;"
                   "Netlists (*.cir *.net *.sp *.spice);;All files (*)");
const QString NetlistFilter = QStringLiteral("Netlists (*.cir *.net *.sp *.spice)");

// A save dialog that adds 'suffix' to a name typed without one.
QString ChooseFileToSave(QWidget *parent, const QString &title, const QString &suggested, const QString &filter,
                         const QString &suffix)
{
    QFileDialog dialog(parent, title, suggested, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(suffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

QMessageBox::StandardButton AskToSave(QWidget *parent, const QString &question)
{
    return QMessageBox::question(parent, QGuiApplication::applicationDisplayName(), question,
                                 QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
}

} // namespace

TUserDialogs::TUserDialogs(QWidget *parent) : FParent(parent), FHelp(std::make_unique<THelpSystem>()) {}

TUserDialogs::~TUserDialogs() = default;

QString TUserDialogs::ChooseOpenFile()
{
    return QFileDialog::getOpenFileName(FParent, "Open tonestack file or netlist", QString(), OpenFilter);
}

QString TUserDialogs::ChooseSaveFile()
{
    return ChooseFileToSave(FParent, "Save tonestack file", QString(), FileFilter,
                            QString::fromLatin1(CircuitFileExtension.data(), int(CircuitFileExtension.size())));
}

QString TUserDialogs::ChooseNetlistSaveFile(const QString &suggested)
{
    return ChooseFileToSave(FParent, "Save netlist", suggested, NetlistFilter, "cir");
}

QMessageBox::StandardButton TUserDialogs::AskSaveChanges()
{
    return AskToSave(FParent, "This file has not been saved.  Do you want to save it?");
}

QMessageBox::StandardButton TUserDialogs::AskSaveNetlist(const QString &name)
{
    return AskToSave(FParent, QStringLiteral("The netlist %1 has not been saved.  Do you want to save it?").arg(name));
}

std::optional<QColor> TUserDialogs::ChooseColour(const QColor &initial)
{
    const QColor colour = QColorDialog::getColor(initial, FParent, "Set colour");
    if (!colour.isValid())
        return std::nullopt;
    return colour;
}

QString TUserDialogs::ChooseExportFile(QString &selectedFilter)
{
    QFileDialog dialog(FParent, "Export", QString(), QStringList{PngFilter, SvgFilter, CsvFilter}.join(";;"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix("png");
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString &filter) {
        dialog.setDefaultSuffix(filter == SvgFilter ? "svg" : filter == CsvFilter ? "csv" : "png");
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    selectedFilter = dialog.selectedNameFilter();
    return dialog.selectedFiles().constFirst();
}

std::optional<QSize> TUserDialogs::ChooseExportSize(QSize onScreen)
{
    TExportSizeDialog dialog(onScreen, FParent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.ChosenSize();
}

std::optional<QString> TUserDialogs::ChooseSnapshotLabel(const QString &current)
{
    bool ok = false;
    const QString label = QInputDialog::getText(FParent, "Rename snapshot", "Label:", QLineEdit::Normal, current, &ok);
    if (!ok)
        return std::nullopt;
    return label;
}

std::optional<std::vector<int>> TUserDialogs::ChooseSweepPoints(const std::vector<int> &current, int controls)
{
    TSweepPointsDialog dialog(current, controls, FParent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.Points();
}

QString TUserDialogs::ChooseCurveFile()
{
    return QFileDialog::getOpenFileName(FParent, "Import curve", QString(),
                                        "Curves (*.csv *.txt *.tsv *.dat);;All files (*)");
}

std::optional<TToleranceSettings> TUserDialogs::ChooseToleranceSettings(const TCircuit &circuit,
                                                                         const TToleranceSettings &current)
{
    // Asked for the first time, the band is what is wanted.
    TToleranceSettings offered = current;
    if (current == TToleranceSettings{})
        offered.Shown = true;
    TToleranceBandDialog dialog(circuit, offered, FParent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.Settings();
}

void TUserDialogs::ShowError(const QString &message)
{
    QMessageBox::critical(FParent, QGuiApplication::applicationDisplayName(), message);
}

void TUserDialogs::ShowWarning(const QString &message)
{
    QMessageBox::warning(FParent, QGuiApplication::applicationDisplayName(), message);
}

void TUserDialogs::ShowHelp(int context)
{
    FHelp->ShowContext(context);
}

} // namespace cva
