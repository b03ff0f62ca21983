// The main window's presets: the Presets menu and the choice above the
// schematic, both listing the active page's presets, and applying one.

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QStatusBar>

#include "app/MainWindow.h"
#include "app/MenuText.h"

namespace cva {

TPresetLibrary LoadShippedPresets()
{
    const auto folder = FindPresetFolder(QCoreApplication::applicationDirPath().toStdString());
    if (!folder) {
        TPresetLibrary none;
        none.Warnings.push_back("No preset folder was found beside the program; the Presets menu is empty.");
        return none;
    }
    return LoadPresetFolder(*folder);
}

QFileInfoList ShippedExamples(const QString &programFolder)
{
    const auto presets = FindPresetFolder(programFolder.toStdString());
    if (!presets)
        return {};
    const QDir folder(QString::fromStdString((*presets / ".." / "examples").lexically_normal().string()));
    return folder.entryInfoList({"*.cir", "*.net", "*.sp", "*.spice"}, QDir::Files, QDir::Name);
}

void TfrmMain::SetPresetLibrary(TPresetLibrary library)
{
    FPresets = std::move(library);
    RefreshPresetChoices();
}

void TfrmMain::ReportPresetWarnings()
{
    if (FPresets.Warnings.empty())
        return;
    QStringList lines;
    for (const std::string &warning : FPresets.Warnings)
        lines << QString::fromStdString(warning);
    FDialogs->ShowWarning(lines.join('\n'));
}

void TfrmMain::RefreshPresetChoices()
{
    const std::vector<const TPreset *> presets = FPresets.ForPage(FDoc->Circuit().Active);
    cbPresets->clear();
    FPresetMenu->clear();
    for (const TPreset *preset : presets) {
        const QString name = QString::fromStdString(preset->Name);
        cbPresets->addItem(name);
        QAction *item = FPresetMenu->addAction(MenuText(name));
        const QString origin = QString::fromStdString(preset->Origin);
        item->setStatusTip(origin);
        connect(item, &QAction::triggered, this, [this, name] { ApplyPresetNamed(name); });
    }
    if (presets.empty())
        FPresetMenu->addAction("(no presets for this page)")->setEnabled(false);
    // Netlists of real circuits beside the presets, each opened as a page of its own.
    FPresetMenu->addSeparator();
    QMenu *examples = FPresetMenu->addMenu("&Examples");
    examples->setObjectName("mnuPresetsExamples");
    connect(examples, &QMenu::aboutToShow, this, [this, examples] {
        examples->clear();
        for (const QFileInfo &file : ShippedExamples(QCoreApplication::applicationDirPath())) {
            QAction *item = examples->addAction(MenuText(file.completeBaseName()));
            item->setStatusTip(file.filePath());
            connect(item, &QAction::triggered, this, [this, path = file.filePath()] { OpenFile(path); });
        }
        if (examples->isEmpty())
            examples->addAction("(no examples beside the program)")->setEnabled(false);
    });
    cbPresets->setEnabled(!presets.empty());
    cbPresets->setPlaceholderText(presets.empty() ? "No presets for this page" : "Preset of a real amplifier...");
    cbPresets->setCurrentIndex(-1);
}

void TfrmMain::ApplyPresetNamed(const QString &name)
{
    const TPreset *preset = FPresets.Find(name.toStdString());
    if (!preset || preset->Page != FDoc->Circuit().Active)
        return;
    // The curve shown so far stays on the plot for comparison, while there is room.
    const bool kept = !FDoc->Store().IsFull();
    KeepLiveCurve();
    FDoc->Apply({.What = QStringLiteral("Preset %1").arg(name),
                 .Edit = [preset](TCircuit &circuit) { ApplyPreset(circuit, *preset); },
                 .LiveLabel = preset->Name});
    FPresetMessage = QStringLiteral("Preset %1 (%2), from %3")
                         .arg(name, QString::fromStdString(preset->Origin), QString::fromStdString(preset->Source)) +
                     (kept ? QString() : QStringLiteral(". ") + PlotFullText);
    FPresetShown = preset->Name;
    statusBar()->showMessage(FPresetMessage);
}

} // namespace cva
