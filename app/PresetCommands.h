#pragma once

// The presets: the Presets menu and the choice above the schematic, both
// listing the active page's presets, applying one, and the example netlists
// shipped beside them.

#include <QFileInfoList>
#include <QObject>
#include <QString>

#include "document/Preset.h"

class QComboBox;
class QMenu;
class QMenuBar;
class QWidget;

namespace cva {

class TCircuitDocument;
class TfrmMain;

// The presets shipped beside the program, with a warning when there are none.
TPresetLibrary LoadShippedPresets();
// The example netlists shipped beside the presets of the program in that folder, by name.
QFileInfoList ShippedExamples(const QString &programFolder);

class TPresetCommands : public QObject {
    Q_OBJECT

public:
    explicit TPresetCommands(TfrmMain &window);

    // The choice above the schematic.
    QComboBox *CreateChoice(QWidget *area);
    void CreateMenu(QMenuBar *bar);

    // Applies a preset of the active page as the Presets menu does.
    void Apply(const QString &name);
    // The presets offered; the window starts with those shipped beside it.
    void SetLibrary(TPresetLibrary library);
    const TPresetLibrary &Library() const { return FPresets; }
    // The preset files that were left out, told once the window is up.
    void ReportWarnings();
    // The menu and the choice list the active page's presets.
    void Refresh();
    // The status message of the preset applied last goes when the live
    // curve is no longer that preset's.
    void LiveCurveChanged();

    QComboBox *Choice() const { return FChoice; }
    QMenu *Menu() const { return FMenu; }

private:
    TfrmMain &FWindow;
    TCircuitDocument &FDoc;
    TPresetLibrary FPresets;
    QComboBox *FChoice = nullptr;
    QMenu *FMenu = nullptr;
    QString FPresetMessage;
    std::string FPresetShown;
};

} // namespace cva
