#pragma once

// The main window: the schematic pages, the control strip, the plot views
// and the menus. It builds the widgets and wires them to the document and
// to its command groups (files, traces, views, output, presets, design aids),
// each of which keeps its own state.

#include <functional>
#include <memory>
#include <vector>

#include <QMainWindow>

#include "app/CircuitDocument.h"
#include "app/ControlStrip.h"
#include "app/EditDialogs.h"
#include "app/LastingNotice.h"
#include "app/UserDialogs.h"

class QAction;
class QSlider;
class QTabWidget;

namespace cva {

class TdlgAbout;
class TDesignCommands;
class TFileCommands;
class TListenBar;
class TNetlistPages;
class TOutputCommands;
class TPlotter;
class TPlotViews;
class TPresetCommands;
class TSchematicPage;
class TTraceCommands;

class TfrmMain : public QMainWindow {
    Q_OBJECT

public:
    // The window asks the user through 'dialogs' when given, which must
    // outlive it; otherwise through the standard dialogs.
    explicit TfrmMain(TUserDialogs *dialogs = nullptr);
    ~TfrmMain() override;

    TFileCommands &Files() const { return *FFiles; }
    TTraceCommands &Traces() const { return *FTraces; }
    TPlotViews &Views() const { return *FViews; }
    // Print, export and copy of the view shown.
    TOutputCommands &Output() const { return *FOutput; }
    TPresetCommands &Presets() const { return *FPresets; }
    TDesignCommands &Design() const { return *FDesign; }
    TUserDialogs &Dialogs() const { return *FDialogs; }
    TCircuitDocument &Doc() const { return *FDoc; }

    // The size the window had when it was last closed, where it fits.
    void RestoreWindowSize();
    void EditSymbol(const QString &symbol);
    void SetResolution(int step);
    // The caption and the file commands follow the page shown: a netlist
    // page is its own file.
    void UpdateCaption();
    // Moves the controls at once without recalculating in between; not an
    // undo step of its own.
    void MoveSliders(const std::vector<int> &positions);

    TPlotter *Plotter() const;
    QTabWidget *Pages() const { return PageControl1; }
    TSchematicPage *Page(int page) const { return FPages.at(std::size_t(page)); }
    TControlStrip *Controls() const { return FControls; }
    QSlider *Slider(int control) const { return FControls->Slider(control); }
    // Shown in the status bar while the live circuit has no curve, or while
    // the loop model drifts from the nodal analysis.
    TLastingNotice *AccuracyWarning() const { return labAccuracy; }
    TQtEditDialogs &EditDialogs() { return FEditDialogs; }
    TdlgAbout *About() const { return FAbout; }
    TListenBar *ListenBar() const { return FListen; }
    TNetlistPages *NetlistPages() const { return FNetlists; }
    QAction *Action(const QString &name) const;

    // A menu item with its name for tests and its hint for the status bar.
    QAction *AddAction(QMenu *menu, const QString &name, const QString &text, const QString &hint,
                       const QKeySequence &shortcut = {});
    // Runs a piece of a command; an error is shown and ends only that piece.
    bool Guarded(const std::function<void()> &work);

protected:
    // Asks before unsaved changes are lost.
    void closeEvent(QCloseEvent *event) override;
    // A circuit or audio file dropped on the window opens; anything else is
    // refused with a word in the status bar.
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void CreateControls(QWidget *area);
    void CreateMenus();
    void CreateEditMenu();
    void CreateListenBar();
    // A recomputed circuit on screen: controls, labels, curves and sound.
    void ShowRecomputed();
    void RefreshLabels();
    void SliderChange(int slider, int position, bool dragging);
    // "Move Bass to 70%", the undo step of a slider move.
    QString MoveText(int slider, int position) const;

    std::unique_ptr<TUserDialogs> FOwnDialogs;
    TUserDialogs *FDialogs;
    TCircuitDocument *FDoc;
    bool FInitialised = false;
    TFileCommands *FFiles;
    TTraceCommands *FTraces;
    TPresetCommands *FPresets;
    TPlotViews *FViews = nullptr;
    TOutputCommands *FOutput = nullptr;
    TDesignCommands *FDesign = nullptr;

    QTabWidget *PageControl1 = nullptr;
    std::vector<TSchematicPage *> FPages;
    TControlStrip *FControls = nullptr;
    TLastingNotice *labAccuracy = nullptr;
    TQtEditDialogs FEditDialogs;
    TdlgAbout *FAbout = nullptr;
    TListenBar *FListen = nullptr;
    TNetlistPages *FNetlists = nullptr;
};

} // namespace cva
