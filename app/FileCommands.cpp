#include "app/FileCommands.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>

#include "app/MainWindow.h"
#include "app/MenuText.h"
#include "app/NetlistPages.h"
#include "app/PlotViews.h"
#include "app/TraceCommands.h"
#include "document/CircuitFile.h"
#include "document/NetlistPage.h"

namespace cva {

TFileCommands::TFileCommands(TfrmMain &window, TNetlistPages &netlists)
    : QObject(&window), FWindow(window), FDoc(window.Doc()), FNetlists(netlists)
{
}

void TFileCommands::CreateActions(QMenu *file)
{
    connect(FWindow.AddAction(file, "actFileNew", "&New", "Start again from the default circuits", QKeySequence("Ctrl+N")),
            &QAction::triggered, this, &TFileCommands::New);
    connect(FWindow.AddAction(file, "actFileNewNetlist", "New ne&tlist",
                              "Start a circuit of your own, written as a netlist", QKeySequence("Ctrl+Shift+N")),
            &QAction::triggered, this, &TFileCommands::NewNetlist);
    connect(FWindow.AddAction(file, "actFileOpen", "&Open...", "Open an existing saved file", QKeySequence("Ctrl+O")),
            &QAction::triggered, this, &TFileCommands::Open);
    connect(FWindow.AddAction(file, "actFileRevert", "&Revert", "Revert to the previous file on disk"),
            &QAction::triggered, this, &TFileCommands::Revert);
    connect(FWindow.AddAction(file, "actFileSave", "&Save", "Save the current file", QKeySequence("Ctrl+S")),
            &QAction::triggered, this, &TFileCommands::Save);
    connect(FWindow.AddAction(file, "actFileSaveAs", "Save &As...", "Save the current file with a new name",
                              QKeySequence("Ctrl+Shift+S")),
            &QAction::triggered, this, &TFileCommands::SaveAs);
}

void TFileCommands::CreateRecentMenu(QMenu *file)
{
    QMenu *recent = file->addMenu("Open recen&t");
    recent->setObjectName("mnuFileRecent");
    connect(recent, &QMenu::aboutToShow, this, [this, recent] { FillRecentMenu(recent); });
}

void TFileCommands::NetlistSaved(const QString &path)
{
    FRecent.Add(path);
    FWindow.UpdateCaption();
}


bool TFileCommands::CheckSave()
{
    if (!FNetlists.CheckSave())
        return false;
    if (!FDoc.State().Modified())
        return true;
    switch (FWindow.Dialogs().AskSaveChanges()) {
    case QMessageBox::Yes:
        return Save();
    case QMessageBox::No:
        return true;
    default:
        return false;
    }
}

bool TFileCommands::SaveTo(const QString &path)
{
    if (!FWindow.Guarded([&] {
            CheckSavedKind(path.toStdString(), CircuitFileText(FDoc.Circuit()), false);
            SaveCircuitFile(path.toStdString(), FDoc.Circuit(), TSpecialFiles::Refused);
        }))
        return false;
    // A live curve named after the file it came from takes the file's new name.
    std::string &liveLabel = FDoc.Store().Labels[0];
    const std::string before = QFileInfo(QString::fromStdString(FDoc.State().FileName())).fileName().toStdString();
    if (!before.empty() && liveLabel == before)
        liveLabel = QFileInfo(path).fileName().toStdString();
    FWindow.Views().UpdateShownView();
    FDoc.SetFileName(path);
    FDoc.SetModified(false);
    FRecent.Add(path);
    return true;
}

bool TFileCommands::Save()
{
    if (FNetlists.ActiveIsNetlist())
        return FNetlists.Save(false);
    if (FDoc.State().FileName().empty())
        return SaveAs();
    return SaveTo(QString::fromStdString(FDoc.State().FileName()));
}

bool TFileCommands::SaveAs()
{
    if (FNetlists.ActiveIsNetlist())
        return FNetlists.Save(true);
    const QString path = FWindow.Dialogs().ChooseSaveFile();
    return !path.isEmpty() && SaveTo(path);
}

void TFileCommands::New()
{
    if (!CheckSave())
        return;
    FDoc.Apply({.What = QStringLiteral("New circuit"),
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

void TFileCommands::Open()
{
    if (!CheckSave())
        return;
    const QString path = FWindow.Dialogs().ChooseOpenFile();
    if (!path.isEmpty())
        OpenFile(path);
}

void TFileCommands::NewNetlist()
{
    FNetlists.NewNetlist();
}

void TFileCommands::Revert()
{
    if (FNetlists.ActiveIsNetlist()) {
        FNetlists.Revert();
        return;
    }
    if (!FDoc.State().FileName().empty())
        OpenFile(QString::fromStdString(FDoc.State().FileName()));
}

bool TFileCommands::OpenFile(const QString &path)
{
    std::optional<TCircuit> loaded;
    if (!FWindow.Guarded([&] { loaded = LoadCircuitOrNetlist(path.toStdString(), FDoc.Circuit(), TSpecialFiles::Refused); }))
        return false;
    // The curve shown so far stays on the plot for comparison.
    FWindow.Traces().KeepLiveCurve();
    const QString fileName = QFileInfo(path).fileName();
    if (const TCircuitDef &opened = loaded->ActiveInfo(); opened.IsNetlist() && opened.NetlistPath == path.toStdString()) {
        // A netlist is a page of its own beside the circuit file.
        FNetlists.Opened(opened.NetlistPath, opened.NetlistText);
        FDoc.Apply({.What = QStringLiteral("Open %1").arg(fileName),
                     .Edit = [&loaded](TCircuit &circuit) { circuit = std::move(*loaded); },
                     .LiveLabel = fileName.toStdString()});
        FRecent.Add(path);
        return true;
    }
    FDoc.Apply({.What = QStringLiteral("Open %1").arg(fileName),
                 .Edit = [&loaded](TCircuit &circuit) { circuit = std::move(*loaded); },
                 .LiveLabel = fileName.toStdString(),
                 .FileName = path,
                 .Saved = true});
    FRecent.Add(path);
    // Said once, here, rather than by the labels at every refresh.
    const std::vector<std::string> warnings = UnknownTaperWarnings(FDoc.Circuit());
    if (!warnings.empty()) {
        QStringList lines;
        for (const std::string &warning : warnings)
            lines << QString::fromStdString(warning);
        FWindow.Dialogs().ShowWarning(lines.join('\n'));
    }
    return true;
}


void TFileCommands::FillRecentMenu(QMenu *menu)
{
    menu->clear();
    const QStringList files = FRecent.Files();
    for (int i = 0; i < files.size(); ++i) {
        const QString path = files[i];
        QAction *item = menu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(MenuText(QFileInfo(path).fileName())));
        item->setStatusTip(path);
        connect(item, &QAction::triggered, this, [this, path] { OpenRecentFile(path); });
    }
    if (files.isEmpty())
        menu->addAction("(no recent files)")->setEnabled(false);
}

void TFileCommands::OpenRecentFile(const QString &path)
{
    if (!QFileInfo::exists(path)) {
        FRecent.Remove(path);
        FWindow.Dialogs().ShowError(QStringLiteral("The file \"%1\" no longer exists; it is taken off the recent files.").arg(path));
        return;
    }
    if (CheckSave())
        OpenFile(path);
}

} // namespace cva
