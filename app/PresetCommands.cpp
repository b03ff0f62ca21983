#include "app/PresetCommands.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>

#include "app/MainWindow.h"
#include "app/FileCommands.h"
#include "app/MenuText.h"
#include "app/PresetChoice.h"
#include "app/TraceCommands.h"

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

TPresetCommands::TPresetCommands(TfrmMain &window) : QObject(&window), FWindow(window), FDoc(window.Doc()) {}

QComboBox *TPresetCommands::CreateChoice(QWidget *area)
{
    FChoice = new TPresetChoice(area);
    FChoice->setObjectName("cbPresets");
    connect(FChoice, &QComboBox::activated, this, [this](int index) {
        const QString name = FChoice->itemText(index);
        // Back to the placeholder: the choice is a command, not a state.
        FChoice->setCurrentIndex(-1);
        Apply(name);
    });
    return FChoice;
}

void TPresetCommands::CreateMenu(QMenuBar *bar)
{
    FMenu = bar->addMenu("Pre&sets");
}

void TPresetCommands::LiveCurveChanged()
{
    if (!FPresetMessage.isEmpty() && FDoc.Store().Labels[0] != FPresetShown) {
        if (FWindow.statusBar()->currentMessage() == FPresetMessage)
            FWindow.statusBar()->clearMessage();
        FPresetMessage.clear();
    }
}

void TPresetCommands::SetLibrary(TPresetLibrary library)
{
    FPresets = std::move(library);
    Refresh();
}

void TPresetCommands::ReportWarnings()
{
    if (FPresets.Warnings.empty())
        return;
    QStringList lines;
    for (const std::string &warning : FPresets.Warnings)
        lines << QString::fromStdString(warning);
    FWindow.Dialogs().ShowWarning(lines.join('\n'));
}

void TPresetCommands::Refresh()
{
    const std::vector<const TPreset *> presets = FPresets.ForPage(FDoc.Circuit().Active);
    FChoice->clear();
    FMenu->clear();
    for (const TPreset *preset : presets) {
        const QString name = QString::fromStdString(preset->Name);
        FChoice->addItem(name);
        QAction *item = FMenu->addAction(MenuText(name));
        const QString origin = QString::fromStdString(preset->Origin);
        item->setStatusTip(origin);
        connect(item, &QAction::triggered, this, [this, name] { Apply(name); });
    }
    if (presets.empty())
        FMenu->addAction("(no presets for this page)")->setEnabled(false);
    // Netlists of real circuits beside the presets, each opened as a page of its own.
    FMenu->addSeparator();
    QMenu *examples = FMenu->addMenu("&Examples");
    examples->setObjectName("mnuPresetsExamples");
    connect(examples, &QMenu::aboutToShow, this, [this, examples] {
        examples->clear();
        for (const QFileInfo &file : ShippedExamples(QCoreApplication::applicationDirPath())) {
            QAction *item = examples->addAction(MenuText(file.completeBaseName()));
            item->setStatusTip(file.filePath());
            connect(item, &QAction::triggered, this, [this, path = file.filePath()] { FWindow.Files().OpenFile(path); });
        }
        if (examples->isEmpty())
            examples->addAction("(no examples beside the program)")->setEnabled(false);
    });
    FChoice->setEnabled(!presets.empty());
    FChoice->setPlaceholderText(presets.empty() ? "No presets for this page" : "Preset of a real amplifier...");
    FChoice->setCurrentIndex(-1);
}

void TPresetCommands::Apply(const QString &name)
{
    const TPreset *preset = FPresets.Find(name.toStdString());
    if (!preset || preset->Page != FDoc.Circuit().Active)
        return;
    // The curve shown so far stays on the plot for comparison, while there is room.
    const bool kept = !FDoc.Store().IsFull();
    FWindow.Traces().KeepLiveCurve();
    FDoc.Apply({.What = QStringLiteral("Preset %1").arg(name),
                 .Edit = [preset](TCircuit &circuit) { ApplyPreset(circuit, *preset); },
                 .LiveLabel = preset->Name});
    FPresetMessage = QStringLiteral("Preset %1 (%2), from %3")
                         .arg(name, QString::fromStdString(preset->Origin), QString::fromStdString(preset->Source)) +
                     (kept ? QString() : QStringLiteral(". ") + PlotFullText);
    FPresetShown = preset->Name;
    FWindow.statusBar()->showMessage(FPresetMessage);
}

} // namespace cva
