#include "app/MainWindow.h"

#include <array>
#include <tuple>

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QSignalBlocker>
#include <QSlider>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QToolTip>
#include <QUndoGroup>
#include <QVBoxLayout>

#include "app/AboutDialog.h"
#include "app/DesignCommands.h"
#include "app/FileCommands.h"
#include "app/FontScale.h"
#include "app/ListenBar.h"
#include "app/LocaleSeparator.h"
#include "app/NetlistPages.h"
#include "app/OutputCommands.h"
#include "app/PlotViews.h"
#include "app/PresetCommands.h"
#include "app/SchematicPage.h"
#include "app/WindowFit.h"
#include "app/TraceCommands.h"
#include "document/NetlistPage.h"
#include "help/HelpSystem.h"

namespace cva {

namespace {

// Sizes at the design font (see FontScale.h).
constexpr int ClientHeight = 453;
constexpr int PlotDesignWidth = 407;
constexpr int PageControlWidth = 297;

const QString WindowSizeKey = QStringLiteral("Window/Size");

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
    FTraces = new TTraceCommands(*this);
    FPresets = new TPresetCommands(*this);
    auto *area = new QWidget(this);
    setCentralWidget(area);
    setWindowIcon(QIcon(":/icons/corvanta.svg"));
    setAcceptDrops(true);
    CreateControls(area);
    FFiles = new TFileCommands(*this, *FNetlists);
    FOutput = new TOutputCommands(*this, *FViews);
    FDesign = new TDesignCommands(*this);
    // The page tabs rather than the preset choice, the first in the chain:
    // a key meant for the window must not apply a preset.
    PageControl1->tabBar()->setFocus();
    CreateMenus();
    // A lasting notice beside the passing messages (cursor readout, presets).
    labAccuracy = new TLastingNotice(statusBar());
    labAccuracy->setObjectName("labAccuracy");
    statusBar()->addPermanentWidget(labAccuracy);
    FPresets->SetLibrary(LoadShippedPresets());
    CreateListenBar();

    UpdateCaption();
    SetResolution(ResolutionMedium);
    FInitialised = true;
    FDoc->Recompute();

    // The plot starts at its design size beside the controls, however wide
    // the font makes them; the layout keeps the window from getting smaller
    // than it needs to show every control whole.
    auto *columns = static_cast<QBoxLayout *>(area->layout());
    const QMargins margins = columns->contentsMargins();
    const QSize client(margins.left() + columns->itemAt(0)->sizeHint().width() + columns->spacing() +
                           Scaled(*this, PlotDesignWidth) + margins.right(),
                       Scaled(*this, ClientHeight));
    FitToScreen(*this, client.expandedTo(area->minimumSizeHint()) +
                           QSize(0, menuBar()->sizeHint().height() + statusBar()->sizeHint().height() +
                                        FListen->sizeHint().height()));
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
    connect(PageControl1, &QTabWidget::currentChanged, this, [this](int index) {
        FDoc->Apply({.What = QStringLiteral("Change to %1").arg(PageControl1->tabText(index)),
                     .Edit = [index](TCircuit &circuit) { circuit.Active = index; }});
    });
    FNetlists = new TNetlistPages(
        PageControl1, FDoc,
        {.SaveFile = [this](const QString &suggested) { return FDialogs->ChooseNetlistSaveFile(suggested); },
         .AskSave = [this](const QString &name) { return FDialogs->AskSaveNetlist(name); },
         .Guarded = [this](const std::function<void()> &work) { return Guarded(work); }},
        this);
    connect(FNetlists, &TNetlistPages::ComponentActivated, this, &TfrmMain::EditSymbol);
    connect(FNetlists, &TNetlistPages::Saved, this, [this](const QString &path) { FFiles->NetlistSaved(path); });

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
    left->addWidget(FPresets->CreateChoice(area));
    left->addWidget(PageControl1, 1);
    left->addWidget(FControls);

    FViews = new TPlotViews(*this, area);
    auto *right = new QVBoxLayout;
    right->setSpacing(Scaled(*this, 4));
    right->addLayout(FTraces->CreateButtons(area));
    right->addWidget(FViews, 1);

    // The schematic and the plot share what the window has beyond their
    // sizes, in about the proportion they start with.
    auto *columns = new QHBoxLayout(area);
    const int margin = Scaled(*this, 8);
    columns->setContentsMargins(margin, Scaled(*this, 2), margin, margin);
    columns->setSpacing(Scaled(*this, 15));
    columns->addLayout(left, 3);
    columns->addLayout(right, 4);
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
    FFiles->CreateActions(file);
    connect(AddAction(file, "actFileExport", "&Export...", "Exports the plot as a picture or the traces as a table"),
            &QAction::triggered, FOutput, &TOutputCommands::Export);
    FDesign->CreateImportAction(file);
    FFiles->CreateRecentMenu(file);
    file->addSeparator();
    FOutput->CreatePrintActions(file);
    file->addSeparator();
    QAction *exit = AddAction(file, "actFileExit", "E&xit", "Exits the application", QKeySequence("Alt+F4"));
    exit->setMenuRole(QAction::QuitRole);
    connect(exit, &QAction::triggered, this, &QWidget::close);

    CreateEditMenu();
    FPresets->CreateMenu(menuBar());

    QMenu *plot = menuBar()->addMenu("&Plot");
    FTraces->CreateActions(plot);
    FDesign->CreateToleranceAction(plot);
    plot->addSeparator();
    FTraces->CreateColourActions(plot);
    plot->addSeparator();
    FViews->CreateViewMenu(plot);
    FTraces->CreateSnapshotMenu(plot);

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
    connect(autoscale, &QAction::toggled, FViews, &TPlotViews::SetAutoYScale);

    QMenu *help = menuBar()->addMenu("&Help");
    connect(AddAction(help, "Contents1", "&Contents", "Opens the help", QKeySequence(Qt::Key_F1)), &QAction::triggered,
            this, [this] { FDialogs->ShowHelp(HelpContents); });
    for (TElementKind kind : {TElementKind::Resistor, TElementKind::Capacitor, TElementKind::Inductor, TElementKind::Pot,
                             TElementKind::Generator})
        connect(&FEditDialogs.Dialog(kind), &TEditDialog::HelpRequested, this,
                [this](int context) { FDialogs->ShowHelp(context); });
    FAbout = new TdlgAbout(this);
    QAction *about = AddAction(help, "About1", "&About...", "Shows who made Corvanta");
    about->setMenuRole(QAction::AboutRole);
    connect(about, &QAction::triggered, FAbout, &QDialog::exec);
}

void TfrmMain::CreateEditMenu()
{
    QMenu *edit = menuBar()->addMenu("&Edit");
    QAction *undo = FDoc->UndoGroup()->createUndoAction(this, "&Undo");
    undo->setObjectName("actEditUndo");
    undo->setShortcut(QKeySequence("Ctrl+Z"));
    undo->setStatusTip("Takes back the last change of the circuit");
    QAction *redo = FDoc->UndoGroup()->createRedoAction(this, "&Redo");
    redo->setObjectName("actEditRedo");
    redo->setShortcut(QKeySequence("Ctrl+Shift+Z"));
    redo->setStatusTip("Makes the change taken back again");
    edit->addAction(undo);
    edit->addAction(redo);
    edit->addSeparator();
    FOutput->CreateCopyActions(edit);
    edit->addSeparator();
    FDesign->CreateSnapMenu(edit);
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

TPlotter *TfrmMain::Plotter() const
{
    return FViews->Plotter();
}

void TfrmMain::ShowRecomputed()
{
    if (!FInitialised)
        return;
    FNetlists->Sync(LocaleDecimalSeparator());
    UpdateCaption();
    {
        const QSignalBlocker blocker(PageControl1);
        PageControl1->setCurrentIndex(static_cast<int>(FDoc->Circuit().Active));
    }
    RefreshLabels();
    // A circuit without a curve says why in the views and the status bar
    // until it has one again; snapshots, sweep and export refuse meanwhile.
    const QString &failure = FDoc->LiveFailure();
    labAccuracy->SetNotice(failure.isEmpty() ? FDoc->AccuracyWarning() : failure);
    FListen->CircuitChanged(FDoc->Circuit());
    FViews->ShowRecomputed();
    FPresets->LiveCurveChanged();
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
    FPresets->Refresh();
}

void TfrmMain::SliderChange(int slider, int position, bool dragging)
{
    QSlider *bar = FControls->Slider(slider);
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
                         TCircuit edited = circuit;
                         if (edited.ActiveValues().Contains(name))
                             edited.Symbols.Page(edited.Active).Edit(name, FEditDialogs, LocaleDecimalSeparator());
                         else
                             edited.Symbols.Edit(name, FEditDialogs, LocaleDecimalSeparator());
                         // A netlist page refuses a value its text cannot hold, keeping the one it had.
                         WriteBackNetlistText(edited);
                         circuit = std::move(edited);
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

QString TfrmMain::MoveText(int slider, int position) const
{
    return QStringLiteral("Move %1 to %2%").arg(FControls->Caption(slider)->text()).arg(position);
}

void TfrmMain::closeEvent(QCloseEvent *event)
{
    if (!FFiles->CheckSave()) {
        event->ignore();
        return;
    }
    QSettings().setValue(WindowSizeKey, size());
    event->accept();
}

void TfrmMain::RestoreWindowSize()
{
    const QSize size = QSettings().value(WindowSizeKey).toSize();
    if (size.isValid())
        FitToScreen(*this, size);
}

} // namespace cva
