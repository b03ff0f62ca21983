#pragma once

// What the main window asks of the user and tells them through the standard
// dialogs and message boxes, in one object, so that tests can answer in the
// user's place by overriding it.

#include <memory>
#include <optional>
#include <vector>

#include <QColor>
#include <QMessageBox>
#include <QSize>
#include <QString>

#include "app/ToleranceBandWorker.h"

class QWidget;

namespace cva {

class TCircuit;
class THelpSystem;

// The types an export offers; a chosen one decides the format of a file
// name typed without a known extension.
inline const QString PngFilter = QStringLiteral("PNG picture (*.png)");
inline const QString SvgFilter = QStringLiteral("SVG drawing (*.svg)");
inline const QString CsvFilter = QStringLiteral("Traces as CSV table (*.csv)");

class TUserDialogs {
public:
    // The dialogs open over 'parent'.
    explicit TUserDialogs(QWidget *parent);
    virtual ~TUserDialogs();
    TUserDialogs(const TUserDialogs &) = delete;
    TUserDialogs &operator=(const TUserDialogs &) = delete;

    // Empty file names and nothing at all mean that the user cancelled.
    virtual QString ChooseOpenFile();
    virtual QString ChooseSaveFile();
    // Where to save a netlist, offered first under 'suggested'.
    virtual QString ChooseNetlistSaveFile(const QString &suggested);
    virtual QMessageBox::StandardButton AskSaveChanges();
    // Whether to save the netlist of that file name before its text is lost.
    virtual QMessageBox::StandardButton AskSaveNetlist(const QString &name);
    virtual std::optional<QColor> ChooseColour(const QColor &initial);
    // The export file and its type, told by the chosen filter.
    virtual QString ChooseExportFile(QString &selectedFilter);
    // The size in pixels of an exported picture, offered first at onScreen.
    virtual std::optional<QSize> ChooseExportSize(QSize onScreen);
    virtual std::optional<QString> ChooseSnapshotLabel(const QString &current);
    // The Sweep's positions for a sweep of that many controls.
    virtual std::optional<std::vector<int>> ChooseSweepPoints(const std::vector<int> &current, int controls);
    virtual QString ChooseCurveFile();
    virtual std::optional<TToleranceSettings> ChooseToleranceSettings(const TCircuit &circuit,
                                                                      const TToleranceSettings &current);
    virtual void ShowError(const QString &message);
    virtual void ShowWarning(const QString &message);
    virtual void ShowHelp(int context);

private:
    QWidget *FParent;
    std::unique_ptr<THelpSystem> FHelp;
};

} // namespace cva
