#pragma once

// The main window: seven schematic pages, the Bass/Mid/Treble sliders, the
// plot and the menus. It holds the circuit, the traces and the document
// state, and wires every command to the computation core.

#include <array>
#include <functional>
#include <memory>
#include <optional>

#include <QMainWindow>
#include <QFileInfo>
#include <QMessageBox>

#include "app/CircuitDocument.h"
#include "app/ControlStrip.h"
#include "app/EditDialogs.h"
#include "app/LastingNotice.h"
#include "app/RecentFiles.h"
#include "app/ToleranceBandWorker.h"
#include "app/UserDialogs.h"
#include "components/ESeries.h"
#include "document/Circuit.h"
#include "document/DocumentState.h"
#include "document/Preset.h"
#include "document/SweepPoints.h"
#include "models/Calc.h"
#include "plot/PlotScale.h"

class QAction;
class QActionGroup;
class QComboBox;
class QPainter;
class QPrinter;
class QLabel;
class QPushButton;
class QSlider;
class QStackedWidget;
class QTabWidget;
class QUndoStack;

namespace cva {

class TdlgAbout;
class TListenBar;
class TNetlistPages;
class TPlotter;
class TQuantityView;
class TResponseMapView;
class TSchematicPage;

// What the plot shows: today's gain plot, another quantity of the circuit
// engine, or the response map over one slider.
enum class TPlotView { Gain, Phase, GroupDelay, Impedance, ResponseMap };

// Said in the status bar when a curve cannot be kept because the plot is full.
extern const QString PlotFullText;

// The presets shipped beside the program, with a warning when there are none.
TPresetLibrary LoadShippedPresets();
// The example netlists shipped beside the presets of the program in that folder, by name.
QFileInfoList ShippedExamples(const QString &programFolder);

class TfrmMain : public QMainWindow {
    Q_OBJECT

public:
    // The window asks the user through 'dialogs' when given, which must
    // outlive it; otherwise through the standard dialogs.
    explicit TfrmMain(TUserDialogs *dialogs = nullptr);
    ~TfrmMain() override;

    // Opens a circuit file as File > Open does, without the dialog.
    bool OpenFile(const QString &path);
    // File > Open recent: after the save question; a file that is gone is
    // said so and leaves the list.
    void OpenRecentFile(const QString &path);
    const TRecentFiles &RecentFiles() const { return FRecent; }
    // The size the window had when it was last closed, where it fits.
    void RestoreWindowSize();

    void Recalculate();
    void RefreshLabels();
    void EditSymbol(const QString &symbol);
    void SetResolution(int step);
    void SetFileName(const QString &fileName);
    // True marks the circuit changed; false takes the circuit as it stands
    // as the one on disk. The mark then follows the undo stack.
    void SetModified(bool modified);
    void UpdateCaption();
    // Asks before unsaved changes are lost. False when the user cancels.
    bool CheckSave();

    // Commands, also reachable through the menus and buttons.
    void actFileNewExecute();
    // File > New netlist: a netlist page from a short template.
    void actFileNewNetlistExecute();
    void actFileOpenExecute();
    void actFileRevertExecute();
    bool actFileSaveExecute();
    bool actFileSaveAsExecute();
    void actPlotSnapshotExecute();
    // A snapshot labelled with what it shows; an empty label numbers it.
    void TakeSnapshot(const QString &label);
    // Each snapshot on its own; slot 1 is the newest.
    void RenameSnapshot(int slot, const QString &label);
    void SetSnapshotShown(int slot, bool shown);
    void RemoveSnapshot(int slot);
    // Lists the snapshots with Show, Rename and Remove for each.
    void FillSnapshotMenu(QMenu *menu);
    void actPlotClearExecute();
    void actPlotExampleExecute();
    // Plot > Sweep points: the positions the Sweep visits, kept for the session.
    void actPlotSweepPointsExecute();
    const std::vector<int> &SweepPoints() const { return FSweepPoints; }
    void actPlotSetColourExecute();
    void actFilePrintExecute();
    void actFilePrintSetupExecute();
    void actFilePrintPreviewExecute();
    void actFileExportExecute();
    // Edit > Copy plot and Copy data: the view shown to the clipboard.
    void CopyPlot();
    void CopyData();
    // Edit > Snap values to: every resistor and capacitor of the page to its
    // nearest value of the series, in one undo step.
    void SnapValues(TESeries series);
    // File > Import curve: a measured curve as a snapshot named after its
    // file; false, the plot unchanged and the reason shown, when it cannot be.
    bool ImportCurve(const QString &path);
    void actFileImportCurveExecute();
    // Plot > Tolerance band: the band is recomputed on a worker after every
    // change and drawn behind the live curve when it is ready.
    void actPlotToleranceBandExecute();
    void SetToleranceSettings(const TToleranceSettings &settings);
    const TToleranceSettings &ToleranceSettings() const { return FTolerance; }
    const TToleranceBandWorker &ToleranceBand() const { return *FBandWorker; }
    // Shows a view of the Plot menu. The response map shows MapSlider().
    void SetPlotView(TPlotView view);
    // The response map over a slider; a slider the page does not use is an
    // error and the plot keeps what it showed.
    void ShowResponseMap(int slider);
    TPlotView PlotView() const { return FPlotView; }
    int MapSlider() const { return FMapSlider; }
    // The widget of the view shown.
    QWidget *ShownView() const;
    TQuantityView *QuantityView() const { return FQuantityView; }
    TResponseMapView *ResponseMapView() const { return FMapView; }
    // Applies a preset of the active page as the Presets menu does.
    void ApplyPresetNamed(const QString &name);
    // The presets offered; the window starts with those shipped beside it.
    void SetPresetLibrary(TPresetLibrary library);
    // The preset files that were left out, told once the window is up.
    void ReportPresetWarnings();
    // Help > Contents and F1 in the window; F1 on a component value opens
    // the schematic topic instead.
    void Contents1Click();

    TUserDialogs &Dialogs() const { return *FDialogs; }
    TCircuitDocument &Doc() const { return *FDoc; }
    const TCircuit &Circuit() const { return FDoc->Circuit(); }
    const TTraceStore &Store() const { return FDoc->Store(); }
    const TPlotScale &Scale() const { return FScale; }
    const TDocumentState &Document() const { return FDoc->State(); }
    TPlotter *Plotter() const { return FPlotter; }
    QTabWidget *Pages() const { return PageControl1; }
    TSchematicPage *Page(int page) const { return FPages.at(std::size_t(page)); }
    QSlider *Slider(int control) const { return FControls->Slider(control); }
    QLabel *SliderCaption(int control) const { return FControls->Caption(control); }
    QLabel *TaperLabel(int control) const { return FControls->TaperLabel(control); }
    // Shown in the status bar while the live circuit has no curve, or while
    // the loop model drifts from the nodal analysis.
    TLastingNotice *AccuracyWarning() const { return labAccuracy; }
    QPushButton *SnapshotButton() const { return btnSnapshot; }
    QPushButton *ClearButton() const { return btnClear; }
    QPushButton *SweepButton() const { return Button1; }
    TQtEditDialogs &EditDialogs() { return FEditDialogs; }
    TdlgAbout *About() const { return FAbout; }
    TListenBar *ListenBar() const { return FListen; }
    TNetlistPages *NetlistPages() const { return FNetlists; }
    QAction *Action(const QString &name) const;
    const TPresetLibrary &Presets() const { return FPresets; }
    QComboBox *PresetChoice() const { return cbPresets; }
    QMenu *PresetMenu() const { return FPresetMenu; }
    QUndoStack *UndoStack() const { return FDoc->UndoStack(); }

protected:
    void closeEvent(QCloseEvent *event) override;
    // A .cva file dropped on the window opens after the save question.
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void CreateControls(QWidget *area);
    void CreateMenus();
    void CreateEditMenu();
    void CreateSnapMenu(QMenu *edit);
    void CreateToleranceBand();
    void RestartToleranceBand();
    void FillRecentMenu(QMenu *menu);
    void CreateListenBar();
    void CreateViewMenu(QMenu *plot);
    // Plot > Show offers a response map over each control the page shown uses.
    void RefreshMapActions();
    // A recomputed circuit on screen: controls, labels, curves and sound.
    void ShowRecomputed();
    // The engine's curves in the views and, when shown, the map.
    void ShowEngineViews();
    void RecalculateMap();
    void UpdateShownView();
    // Ticks the Plot menu's item of the view shown.
    void CheckViewAction();
    // The shown view as a picture of the given size, on paper and as a table.
    void RenderShownView(QPainter &painter, QSize size);
    void PrintShownView(QPrinter &printer);
    TTraceStore ShownTraces() const;
    QAction *AddAction(QMenu *menu, const QString &name, const QString &text, const QString &hint,
                       const QKeySequence &shortcut = {});
    void PageControl1Change(int index);
    void SliderChange(int slider, int position, bool dragging);
    // "Move Bass to 70%", the undo step of a slider move.
    QString MoveText(int slider, int position) const;
    // Moves all three sliders at once without recalculating in between.
    void MoveSliders(const std::vector<int> &positions);
    void ShowCircuitControls();
    // The label of a control of the active page.
    QString ControlLabel(int control) const;
    void SnapshotsChanged();
    // The Presets menu and the choice above the schematic list the active page's presets.
    void RefreshPresetChoices();
    bool LoadFile(const QString &path);
    bool SaveTo(const QString &path);
    QPrinter &Printer();
    // The live curve as a snapshot, before a preset or a file replaces it.
    void KeepLiveCurve();
    // True, after telling the user why with 'refusal' ("No snapshot was
    // taken"), when the live circuit has no curve to keep or show.
    bool RefusedWithoutLiveCurve(const QString &refusal);
    // Runs a piece of a command; an error is shown and ends only that piece.
    bool Guarded(const std::function<void()> &work);

    std::unique_ptr<TUserDialogs> FOwnDialogs;
    TUserDialogs *FDialogs;
    TCircuitDocument *FDoc;
    TPlotScale FScale;
    bool FInitialised = false;
    int FSnapshotNumber = 0; // of the snapshots numbered since the last Clear
    std::vector<int> FSweepPoints = DefaultSweepPoints;
    TPresetLibrary FPresets;
    TToleranceSettings FTolerance;
    TToleranceBandWorker *FBandWorker = nullptr;
    TRecentFiles FRecent;

    QComboBox *cbPresets = nullptr;
    QMenu *FPresetMenu = nullptr;
    QTabWidget *PageControl1 = nullptr;
    std::vector<TSchematicPage *> FPages;
    TControlStrip *FControls = nullptr;
    TLastingNotice *labAccuracy = nullptr;
    QPushButton *btnSnapshot = nullptr;
    QPushButton *btnClear = nullptr;
    QPushButton *Button1 = nullptr;
    TPlotter *FPlotter = nullptr;
    QStackedWidget *FViews = nullptr;
    TQuantityView *FQuantityView = nullptr;
    TResponseMapView *FMapView = nullptr;
    TPlotView FPlotView = TPlotView::Gain;
    int FMapSlider = BuiltInControl::Bass;
    std::string FMapControlLabel = "Bass"; // of the page the map was made on
    QMenu *FShowMenu = nullptr;
    QActionGroup *FViewGroup = nullptr;
    std::vector<std::pair<int, std::string>> FMapControls; // offered in FShowMenu
    // The status message of the preset applied last, which goes when the
    // live curve is no longer that preset's.
    QString FPresetMessage;
    std::string FPresetShown;
    // The engine's failure last told in a box, so that it is told once.
    QString FToldEngineFailure;
    TQtEditDialogs FEditDialogs;
    TdlgAbout *FAbout = nullptr;
    TListenBar *FListen = nullptr;
    TNetlistPages *FNetlists = nullptr;
    // Kept for the whole run so that Print setup's choices carry over.
    std::unique_ptr<QPrinter> FPrinter;
};

} // namespace cva
