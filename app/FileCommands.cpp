// The main window's file commands: New, Open, Revert, Save, Save As, and the
// question asked before unsaved changes are lost.

#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QSignalBlocker>
#include <QSlider>
#include <QTabWidget>

#include "app/MainWindow.h"
#include "app/NetlistPages.h"
#include "document/CircuitFile.h"
#include "netlist/NetlistPage.h"

namespace cva {

namespace {
const QString FileFilter = QStringLiteral("Tonestack files (*.cva)");
const QString OpenFilter =
    QStringLiteral("Tonestack files and netlists (*.cva *.cir *.net *.sp *.spice);;Tonestack files (*.cva);;"
                   "Netlists (*.cir *.net *.sp *.spice);;All files (*)");
const QString NetlistFilter = QStringLiteral("Netlists (*.cir *.net *.sp *.spice)");
const QString WindowSizeKey = QStringLiteral("Window/Size");
} // namespace

bool TfrmMain::CheckSave()
{
    if (!FNetlists->CheckSave())
        return false;
    if (!FDoc->State().Modified())
        return true;
    switch (FDialogs->AskSaveChanges()) {
    case QMessageBox::Yes:
        return actFileSaveExecute();
    case QMessageBox::No:
        return true;
    default:
        return false;
    }
}

bool TfrmMain::SaveTo(const QString &path)
{
    if (!Guarded([&] { SaveCircuitFile(path.toStdString(), FDoc->Circuit(), TSpecialFiles::Refused); }))
        return false;
    // A live curve named after the file it came from takes the file's new name.
    std::string &liveLabel = FDoc->Store().Labels[0];
    const std::string before = QFileInfo(QString::fromStdString(FDoc->State().FileName())).fileName().toStdString();
    if (!before.empty() && liveLabel == before)
        liveLabel = QFileInfo(path).fileName().toStdString();
    UpdateShownView();
    SetFileName(path);
    SetModified(false);
    FRecent.Add(path);
    return true;
}

bool TfrmMain::actFileSaveExecute()
{
    if (FNetlists->ActiveIsNetlist())
        return FNetlists->Save(false);
    if (FDoc->State().FileName().empty())
        return actFileSaveAsExecute();
    return SaveTo(QString::fromStdString(FDoc->State().FileName()));
}

bool TfrmMain::actFileSaveAsExecute()
{
    if (FNetlists->ActiveIsNetlist())
        return FNetlists->Save(true);
    const QString path = FDialogs->ChooseSaveFile();
    return !path.isEmpty() && SaveTo(path);
}

void TfrmMain::actFileNewExecute()
{
    if (!CheckSave())
        return;
    FDoc->Apply({.What = QStringLiteral("New circuit"),
                 .Edit =
                     [](TCircuit &circuit) {
                         // The resolution belongs to the session, not to the circuit.
                         const int step = circuit.ResolutionStep;
                         circuit = TCircuit();
                         circuit.ResolutionStep = step;
                     },
                 .LiveLabel = std::string(),
                 .FileName = QString(),
                 .Saved = true});
}

void TfrmMain::actFileOpenExecute()
{
    if (!CheckSave())
        return;
    const QString path = FDialogs->ChooseOpenFile();
    if (!path.isEmpty())
        LoadFile(path);
}

void TfrmMain::actFileNewNetlistExecute()
{
    FNetlists->NewNetlist();
}

void TfrmMain::actFileRevertExecute()
{
    if (FNetlists->ActiveIsNetlist()) {
        FNetlists->Revert();
        return;
    }
    if (!FDoc->State().FileName().empty())
        LoadFile(QString::fromStdString(FDoc->State().FileName()));
}

bool TfrmMain::OpenFile(const QString &path)
{
    return LoadFile(path);
}

bool TfrmMain::LoadFile(const QString &path)
{
    std::optional<TCircuit> loaded;
    if (!Guarded([&] { loaded = LoadCircuitOrNetlist(path.toStdString(), FDoc->Circuit(), TSpecialFiles::Refused); }))
        return false;
    // The curve shown so far stays on the plot for comparison.
    KeepLiveCurve();
    const QString fileName = QFileInfo(path).fileName();
    if (const TCircuitDef &opened = loaded->ActiveInfo(); opened.IsNetlist() && opened.NetlistPath == path.toStdString()) {
        // A netlist is a page of its own beside the circuit file.
        FNetlists->Opened(opened.NetlistPath, opened.NetlistText);
        FDoc->Apply({.What = QStringLiteral("Open %1").arg(fileName),
                     .Edit = [&loaded](TCircuit &circuit) { circuit = std::move(*loaded); },
                     .LiveLabel = fileName.toStdString()});
        FRecent.Add(path);
        return true;
    }
    FDoc->Apply({.What = QStringLiteral("Open %1").arg(fileName),
                 .Edit = [&loaded](TCircuit &circuit) { circuit = std::move(*loaded); },
                 .LiveLabel = fileName.toStdString(),
                 .FileName = path,
                 .Saved = true});
    FRecent.Add(path);
    // Said once, here, rather than by the labels at every refresh.
    const std::vector<std::string> warnings = UnknownTaperWarnings(FDoc->Circuit());
    if (!warnings.empty()) {
        QStringList lines;
        for (const std::string &warning : warnings)
            lines << QString::fromStdString(warning);
        FDialogs->ShowWarning(lines.join('\n'));
    }
    return true;
}

void TfrmMain::ShowCircuitControls()
{
    {
        const QSignalBlocker blocker(PageControl1);
        PageControl1->setCurrentIndex(static_cast<int>(FDoc->Circuit().Active));
    }
    Guarded([this] { FControls->Show(FDoc->Circuit()); });
}

void TfrmMain::closeEvent(QCloseEvent *event)
{
    if (!CheckSave()) {
        event->ignore();
        return;
    }
    QSettings().setValue(WindowSizeKey, size());
    event->accept();
}

void TfrmMain::RestoreWindowSize()
{
    QSize size = QSettings().value(WindowSizeKey).toSize();
    if (!size.isValid())
        return;
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableGeometry().size());
    resize(size.expandedTo(minimumSizeHint()));
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

} // namespace cva
