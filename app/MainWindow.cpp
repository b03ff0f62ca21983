#include "app/MainWindow.h"

#include <utility>

#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QCursor>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QSlider>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QToolTip>
#include <QUndoStack>
#include <QVBoxLayout>

#include "app/AboutDialog.h"
#include "app/FontScale.h"
#include "app/ListenBar.h"
#include "app/NetlistPages.h"
#include "app/PresetChoice.h"
#include "app/LocaleSeparator.h"
#include "app/SchematicPage.h"
#include "app/ControlStrip.h"
#include "document/ModelCheck.h"
#include "help/HelpSystem.h"
#include "numerics/Error.h"
#include "plot/PlotColours.h"
#include "plot/Plotter.h"
#include "plot/QuantityView.h"
#include "plot/ResponseMapView.h"

namespace cva {

namespace {

// Sizes at the design font (see FontScale.h).
constexpr int ClientHeight = 453;
constexpr int PlotDesignWidth = 407;
constexpr int PageControlWidth = 297;
constexpr QSize ButtonSize{75, 22};
constexpr QSize PlotMinimumSize{240, 180};

QString FromView(std::string_view text)
{
    return QString::fromLatin1(text.data(), static_cast<int>(text.size()));
}

} // namespace

TfrmMain::TfrmMain(TUserDialogs *dialogs)
    : FOwnDialogs(dialogs ? nullptr : std::make_unique<TUserDialogs>(this)),
      FDialogs(dialogs ? dialogs : FOwnDialogs.get()), FDoc(new TCircuitDocument(this)), FEditDialogs(this)
{
    connect(FDoc, &TCircuitDocument::Recomputed, this, &TfrmMain::ShowRecomputed);
    connect(FDoc, &TCircuitDocument::CaptionChanged, this, &TfrmMain::UpdateCaption);
    auto *area = new QWidget(this);
    setCentralWidget(area);
    setWindowIcon(QIcon(":/icons/corvanta.svg"));
    setAcceptDrops(true);
    CreateControls(area);
    CreateToleranceBand();
    // The page tabs rather than the preset choice, the first in the chain:
    // a key meant for the window must not apply a preset.
    PageControl1->tabBar()->setFocus();
    CreateMenus();
    // A lasting notice beside the passing messages (cursor readout, presets).
    labAccuracy = new TLastingNotice(statusBar());
    labAccuracy->setObjectName("labAccuracy");
    statusBar()->addPermanentWidget(labAccuracy);
    SetPresetLibrary(LoadShippedPresets());
    CreateListenBar();

    UpdateCaption();
    SetResolution(ResolutionMedium);
    FInitialised = true;
    Recalculate();

    // The plot starts at its design size beside the controls, however wide
    // the font makes them; the layout keeps the window from getting smaller
    // than it needs to show every control whole.
    auto *columns = static_cast<QBoxLayout *>(area->layout());
    const QMargins margins = columns->contentsMargins();
    const QSize client(margins.left() + columns->itemAt(0)->sizeHint().width() + columns->spacing() +
                           Scaled(*this, PlotDesignWidth) + margins.right(),
                       Scaled(*this, ClientHeight));
    resize(client.expandedTo(area->minimumSizeHint()) +
           QSize(0, menuBar()->sizeHint().height() + statusBar()->sizeHint().height() +
                        FListen->sizeHint().height()));
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

TfrmMain::~TfrmMain() = default;

void TfrmMain::CreateListenBar()
{
    FListen = new TListenBar(this);
    addToolBar(Qt::BottomToolBarArea, FListen);
    connect(FListen, &TListenBar::Message, this, [this](const QString &text) { statusBar()->showMessage(text); });
    connect(FListen, &TListenBar::Problem, this, [this](const QString &text) { FDialogs->ShowError(text); });
    if (!FListen->Player().Available())
        statusBar()->showMessage(FListen->Player().Problem());
}

void TfrmMain::CreateControls(QWidget *area)
{
    cbPresets = new TPresetChoice(area);
    cbPresets->setObjectName("cbPresets");
    connect(cbPresets, &QComboBox::activated, this, [this](int index) {
        const QString name = cbPresets->itemText(index);
        // Back to the placeholder: the choice is a command, not a state.
        cbPresets->setCurrentIndex(-1);
        ApplyPresetNamed(name);
    });

    PageControl1 = new QTabWidget(area);
    PageControl1->setObjectName("PageControl1");
    // All seven tabs side by side: the page control is never narrower than
    // its tab bar.
    PageControl1->setUsesScrollButtons(false);
    PageControl1->tabBar()->setExpanding(false);
    PageControl1->tabBar()->setElideMode(Qt::ElideNone);
    // Compact tabs; the page shown stands out in white.
    PageControl1->setStyleSheet(
        "QTabBar::tab { padding: 2px 3px; margin-right: 1px; border: 1px solid #9a9a9a; border-bottom: none;"
        " border-top-left-radius: 3px; border-top-right-radius: 3px; background: #dcdcdc; }"
        "QTabBar::tab:selected { background: white; }"
        "QTabBar::tab:!selected { margin-top: 2px; color: #404040; }");
    PageControl1->setStatusTip("Double-click on any component value to change it");
    PageControl1->setToolTip(PageControl1->statusTip());
    for (int index = 0; index < FDoc->Circuit().Pages().Count(); ++index) {
        const TCircuitDef &info = FDoc->Circuit().Pages().Page(index);
        auto *page = new TSchematicPage(info, PageControl1);
        connect(page, &TSchematicPage::ComponentActivated, this, &TfrmMain::EditSymbol);
        connect(page, &TSchematicPage::HelpRequested, this, [this] { FDialogs->ShowHelp(HelpSchematicPages); });
        FPages.push_back(page);
        PageControl1->addTab(page, FromView(info.TabCaption));
    }
    PageControl1->tabBar()->ensurePolished();
    PageControl1->setMinimumWidth(
        std::max(Scaled(*this, PageControlWidth), PageControl1->tabBar()->sizeHint().width() + 2));
    connect(PageControl1, &QTabWidget::currentChanged, this, &TfrmMain::PageControl1Change);
    FNetlists = new TNetlistPages(
        PageControl1, FDoc,
        {.SaveFile = [this](const QString &suggested) { return FDialogs->ChooseNetlistSaveFile(suggested); },
         .AskSave = [this](const QString &name) { return FDialogs->AskSaveNetlist(name); },
         .Guarded = [this](const std::function<void()> &work) { return Guarded(work); }},
        this);
    connect(FNetlists, &TNetlistPages::ComponentActivated, this, &TfrmMain::EditSymbol);
    connect(FNetlists, &TNetlistPages::Saved, this, [this](const QString &path) {
        FRecent.Add(path);
        UpdateCaption();
    });

    FControls = new TControlStrip(area);
    connect(FControls, &TControlStrip::Moved, this, &TfrmMain::SliderChange);
    connect(FControls, &TControlStrip::DragStarted, FDoc, &TCircuitDocument::BeginDrag);
    connect(FControls, &TControlStrip::DragEnded, this,
            [this](int control) { FDoc->EndDrag(MoveText(control, FDoc->Circuit().Position(control))); });
    FControls->Show(FDoc->Circuit());

    auto *left = new QVBoxLayout;
    left->setContentsMargins(0, Scaled(*this, 6), 0, 0);
    left->setSpacing(Scaled(*this, 7));
    // The preset choice sits above the schematic.
    left->addWidget(cbPresets);
    left->addWidget(PageControl1);
    left->addWidget(FControls);
    left->addStretch(1);

    auto makeButton = [area](const QString &name) {
        auto *button = new QPushButton(area);
        button->setObjectName(name);
        return button;
    };
    btnSnapshot = makeButton("btnSnapshot");
    btnClear = makeButton("btnClear");
    Button1 = makeButton("Button1");
    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(Scaled(*this, 13));
    for (QPushButton *button : {btnSnapshot, btnClear, Button1}) {
        button->setMinimumSize(Scaled(*this, ButtonSize));
        buttons->addWidget(button);
    }
    buttons->addStretch(1);

    FPlotter = new TPlotter(FDoc->Store(), FScale, area);
    FPlotter->setMinimumSize(Scaled(*this, PlotMinimumSize));
    // The snapshots one by one, also from the plot itself.
    FPlotter->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(FPlotter, &QWidget::customContextMenuRequested, this, [this](QPoint at) {
        QMenu menu(this);
        FillSnapshotMenu(&menu);
        menu.exec(FPlotter->mapToGlobal(at));
    });
    FQuantityView = new TQuantityView(FDoc->Store(), [this] { return FPlotter->TraceColour(); }, area);
    FMapView = new TResponseMapView(area);
    FViews = new QStackedWidget(area);
    auto showReadout = [this](const QString &text) {
        if (text.isEmpty())
            statusBar()->clearMessage();
        else
            statusBar()->showMessage(text);
    };
    connect(FPlotter, &TPlotter::CursorReadout, this, showReadout);
    connect(FQuantityView, &TQuantityView::CursorReadout, this, showReadout);
    connect(FMapView, &TResponseMapView::CursorReadout, this, showReadout);
    for (QWidget *view : std::initializer_list<QWidget *>{FPlotter, FQuantityView, FMapView})
        FViews->addWidget(view);
    auto *right = new QVBoxLayout;
    right->setSpacing(Scaled(*this, 4));
    right->addLayout(buttons);
    right->addWidget(FViews, 1);

    // Only the plot grows with the window; the schematics and the sliders
    // keep their size.
    auto *columns = new QHBoxLayout(area);
    const int margin = Scaled(*this, 8);
    columns->setContentsMargins(margin, Scaled(*this, 2), margin, margin);
    columns->setSpacing(Scaled(*this, 15));
    columns->addLayout(left, 0);
    columns->addLayout(right, 1);
}

QAction *TfrmMain::AddAction(QMenu *menu, const QString &name, const QString &text, const QString &hint,
                             const QKeySequence &shortcut)
{
    QAction *action = menu->addAction(text);
    action->setObjectName(name);
    action->setStatusTip(hint);
    action->setToolTip(hint);
    if (!shortcut.isEmpty())
        action->setShortcut(shortcut);
    return action;
}

QAction *TfrmMain::Action(const QString &name) const
{
    return findChild<QAction *>(name);
}

void TfrmMain::CreateMenus()
{
    QMenu *file = menuBar()->addMenu("&File");
    connect(AddAction(file, "actFileNew", "&New", "Start again from the default circuits", QKeySequence("Ctrl+N")),
            &QAction::triggered, this, &TfrmMain::actFileNewExecute);
    connect(AddAction(file, "actFileNewNetlist", "New ne&tlist", "Start a circuit of your own, written as a netlist",
                      QKeySequence("Ctrl+Shift+N")),
            &QAction::triggered, this, &TfrmMain::actFileNewNetlistExecute);
    connect(AddAction(file, "actFileOpen", "&Open...", "Open an existing saved file", QKeySequence("Ctrl+O")),
            &QAction::triggered, this, &TfrmMain::actFileOpenExecute);
    connect(AddAction(file, "actFileRevert", "&Revert", "Revert to the previous file on disk"), &QAction::triggered,
            this, &TfrmMain::actFileRevertExecute);
    connect(AddAction(file, "actFileSave", "&Save", "Save the current file", QKeySequence("Ctrl+S")),
            &QAction::triggered, this, &TfrmMain::actFileSaveExecute);
    connect(AddAction(file, "actFileSaveAs", "Save &As...", "Save the current file with a new name",
                      QKeySequence("Ctrl+Shift+S")),
            &QAction::triggered, this, &TfrmMain::actFileSaveAsExecute);
    connect(AddAction(file, "actFileExport", "&Export...", "Exports the plot as a picture or the traces as a table"),
            &QAction::triggered, this, &TfrmMain::actFileExportExecute);
    connect(AddAction(file, "actFileImportCurve", "&Import curve...",
                      "Shows a measured curve (CSV of frequency, dB and an optional phase) as a snapshot"),
            &QAction::triggered, this, &TfrmMain::actFileImportCurveExecute);
    QMenu *recent = file->addMenu("Open recen&t");
    recent->setObjectName("mnuFileRecent");
    connect(recent, &QMenu::aboutToShow, this, [this, recent] { FillRecentMenu(recent); });
    file->addSeparator();
    connect(AddAction(file, "actFilePrint", "&Print", "Prints the current plot", QKeySequence("Ctrl+P")),
            &QAction::triggered, this, &TfrmMain::actFilePrintExecute);
    connect(AddAction(file, "actFilePrintPreview", "Print pre&view...", "Shows the printed page before printing"),
            &QAction::triggered, this, &TfrmMain::actFilePrintPreviewExecute);
    connect(AddAction(file, "actFilePrintSetup", "Print set&up...", "Sets the printer up"), &QAction::triggered, this,
            &TfrmMain::actFilePrintSetupExecute);
    file->addSeparator();
    QAction *exit = AddAction(file, "actFileExit", "E&xit", "Exits the application", QKeySequence("Alt+F4"));
    exit->setMenuRole(QAction::QuitRole);
    connect(exit, &QAction::triggered, this, &QWidget::close);

    CreateEditMenu();
    FPresetMenu = menuBar()->addMenu("Pre&sets");

    QMenu *plot = menuBar()->addMenu("&Plot");
    QAction *snapshot = AddAction(plot, "actPlotSnapshot", "&Snapshot", "Take a snapshot of the current trace");
    QAction *clear = AddAction(plot, "actPlotClear", "&Clear", "Clear all plotted traces");
    QAction *sweep =
        AddAction(plot, "actPlotExample", "S&weep", "Produce an example of min/mid/max for each control");
    connect(snapshot, &QAction::triggered, this, &TfrmMain::actPlotSnapshotExecute);
    connect(clear, &QAction::triggered, this, &TfrmMain::actPlotClearExecute);
    connect(sweep, &QAction::triggered, this, &TfrmMain::actPlotExampleExecute);
    connect(AddAction(plot, "actPlotSweepPoints", "Sweep &points...", "Chooses the positions the Sweep moves each control to"),
            &QAction::triggered, this, &TfrmMain::actPlotSweepPointsExecute);
    connect(AddAction(plot, "actPlotToleranceBand", "&Tolerance band...",
                      "Shades the range of curves that parts within their tolerances give"),
            &QAction::triggered, this, &TfrmMain::actPlotToleranceBandExecute);
    plot->addSeparator();
    connect(AddAction(plot, "actPlotSetColour", "Set co&lour...", "Sets the plot colour"), &QAction::triggered, this,
            &TfrmMain::actPlotSetColourExecute);
    QAction *cycle = AddAction(plot, "actPlotCycleColour", "C&ycle colours automatically",
                               "Cycles the colours every time you produce a change to a component value");
    cycle->setCheckable(true);
    plot->addSeparator();
    CreateViewMenu(plot);
    QMenu *snapshots = plot->addMenu("S&napshots");
    snapshots->setObjectName("mnuPlotSnapshots");
    connect(snapshots, &QMenu::aboutToShow, this, [this, snapshots] { FillSnapshotMenu(snapshots); });

    // The buttons above the plot carry the captions and hints of their commands.
    for (auto [button, action] : {std::pair{btnSnapshot, snapshot}, {btnClear, clear}, {Button1, sweep}}) {
        button->setText(action->text().remove('&'));
        button->setToolTip(action->statusTip());
        button->setStatusTip(action->statusTip());
        connect(button, &QPushButton::clicked, action, &QAction::trigger);
    }

    QMenu *resolution = menuBar()->addMenu("&Resolution");
    auto *steps = new QActionGroup(this);
    const std::array<std::tuple<const char *, const char *, const char *, int>, 3> items{{
        {"Low1", "&Low", "Ctrl+L", ResolutionLow},
        {"Medium1", "&Medium", "Ctrl+M", ResolutionMedium},
        {"High1", "&High", "Ctrl+H", ResolutionHigh},
    }};
    for (const auto &[name, text, key, step] : items) {
        QAction *item = AddAction(resolution, name, text, QString(), QKeySequence(key));
        item->setCheckable(true);
        item->setData(step);
        steps->addAction(item);
        connect(item, &QAction::triggered, this, [this, step = step]() { SetResolution(step); });
    }
    resolution->addSeparator();
    QAction *autoscale = AddAction(resolution, "Autoscale1", "Auto Y scale", QString());
    autoscale->setCheckable(true);
    connect(autoscale, &QAction::toggled, this, [this](bool on) {
        FScale.AutoYScale = on;
        FQuantityView->SetPhaseAutoScale(on);
        FPlotter->update();
    });

    QMenu *help = menuBar()->addMenu("&Help");
    connect(AddAction(help, "Contents1", "&Contents", "Opens the help", QKeySequence(Qt::Key_F1)), &QAction::triggered,
            this, &TfrmMain::Contents1Click);
    for (TElementKind kind : {TElementKind::Resistor, TElementKind::Capacitor, TElementKind::Inductor, TElementKind::Pot,
                             TElementKind::Generator})
        connect(&FEditDialogs.Dialog(kind), &TEditDialog::HelpRequested, this,
                [this](int context) { FDialogs->ShowHelp(context); });
    FAbout = new TdlgAbout(this);
    QAction *about = AddAction(help, "About1", "&About...", "Shows who made Corvanta");
    about->setMenuRole(QAction::AboutRole);
    connect(about, &QAction::triggered, FAbout, &QDialog::exec);
}

bool TfrmMain::Guarded(const std::function<void()> &work)
{
    try {
        work();
        return true;
    } catch (const std::exception &error) {
        // The program's own errors and any other, running out of memory
        // included: the command ends with its message, the window stays.
        FDialogs->ShowError(QString::fromStdString(error.what()));
        return false;
    }
}

void TfrmMain::Recalculate()
{
    FDoc->Recompute();
}

void TfrmMain::ShowRecomputed()
{
    if (!FInitialised)
        return;
    FNetlists->Sync(LocaleDecimalSeparator());
    UpdateCaption();
    ShowCircuitControls();
    RefreshLabels();
    // A circuit without a curve says why in the views and the status bar
    // until it has one again; snapshots, sweep and export refuse meanwhile.
    const QString &failure = FDoc->LiveFailure();
    FPlotter->SetNotice(failure);
    FQuantityView->SetNotice(failure.isEmpty() ? FDoc->EngineFailure() : failure);
    labAccuracy->SetNotice(failure.isEmpty() ? FDoc->AccuracyWarning() : failure);
    FListen->CircuitChanged(FDoc->Circuit());
    RefreshMapActions();
    ShowEngineViews();
    if (!FPresetMessage.isEmpty() && FDoc->Store().Labels[0] != FPresetShown) {
        if (statusBar()->currentMessage() == FPresetMessage)
            statusBar()->clearMessage();
        FPresetMessage.clear();
    }
    FPlotter->update();
}

void TfrmMain::RefreshLabels()
{
    const char separator = LocaleDecimalSeparator();
    for (TSchematicPage *page : FPages)
        for (const QString &symbol : page->Symbols())
            Guarded([&] {
                page->ValueLabel(symbol)->SetValue(
                    QString::fromStdString(FDoc->Circuit().Symbols.GetCaption(symbol.toStdString(), separator)));
            });
    Guarded([this] { FControls->Show(FDoc->Circuit()); });
    RefreshPresetChoices();
}

void TfrmMain::PageControl1Change(int index)
{
    FDoc->Apply({.What = QStringLiteral("Change to %1").arg(PageControl1->tabText(index)),
                 .Edit = [index](TCircuit &circuit) { circuit.Active = index; }});
}

void TfrmMain::SliderChange(int slider, int position, bool dragging)
{
    QSlider *bar = Slider(slider);
    bar->setToolTip(QStringLiteral("%1%").arg(position));
    QToolTip::showText(QCursor::pos(), bar->toolTip(), bar);
    // A drag is kept as one step when the slider is let go.
    FDoc->Apply({.What = MoveText(slider, position),
                 .Edit = [slider, position](TCircuit &circuit) { circuit.SetPosition(slider, position); },
                 .Recorded = !dragging});
}

void TfrmMain::MoveSliders(const std::vector<int> &positions)
{
    TCircuit moved = FDoc->Circuit();
    for (int control = 0; control < int(positions.size()); ++control)
        moved.SetPosition(control, positions[std::size_t(control)]);
    if (moved != FDoc->Circuit())
        FDoc->Apply({.Edit = [&moved](TCircuit &circuit) { circuit = moved; }, .Recorded = false});
}

void TfrmMain::EditSymbol(const QString &symbol)
{
    FDoc->Apply({.What = QStringLiteral("Change %1").arg(symbol), .Edit = [&](TCircuit &circuit) {
                     Guarded([&] {
                         // Netlists may share part names with each other; the page shown has the part meant.
                         const std::string name = symbol.toStdString();
                         if (circuit.ActiveValues().Contains(name))
                             circuit.Symbols.Page(circuit.Active).Edit(name, FEditDialogs, LocaleDecimalSeparator());
                         else
                             circuit.Symbols.Edit(name, FEditDialogs, LocaleDecimalSeparator());
                     });
                 }});
}

void TfrmMain::SetResolution(int step)
{
    for (const char *name : {"Low1", "Medium1", "High1"})
        if (QAction *item = Action(name))
            item->setChecked(item->data().toInt() == step);
    FDoc->SetResolution(step);
}

void TfrmMain::UpdateCaption()
{
    // The caption and the file commands follow the page shown: a netlist
    // page is its own file.
    const bool netlist = FNetlists && FNetlists->ActiveIsNetlist();
    TDocumentState shown = FDoc->State();
    if (netlist) {
        shown.SetFileName(FNetlists->ActiveFileName().toStdString());
        shown.SetModified(FNetlists->ActiveModified());
    }
    const QString caption = QString::fromStdString(shown.Caption());
    if (windowTitle() != caption)
        setWindowTitle(caption);
    const bool named = netlist || !FDoc->State().FileName().empty();
    Action("actFileSave")->setEnabled(named);
    Action("actFileRevert")->setEnabled(named);
}

void TfrmMain::SetFileName(const QString &fileName)
{
    FDoc->SetFileName(fileName);
}

void TfrmMain::SetModified(bool modified)
{
    FDoc->SetModified(modified);
}

void TfrmMain::Contents1Click()
{
    FDialogs->ShowHelp(HelpContents);
}

} // namespace cva
