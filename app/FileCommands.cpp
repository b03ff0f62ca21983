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
#include "document/CircuitFile.h"

namespace cva {

namespace {
const QString FileFilter = QStringLiteral("Tonestack files (*.cva)");
const QString WindowSizeKey = QStringLiteral("Window/Size");
} // namespace

QString TfrmMain::ChooseOpenFile()
{
    return QFileDialog::getOpenFileName(this, "Open tonestack file", QString(), FileFilter);
}

QString TfrmMain::ChooseSaveFile()
{
    QFileDialog dialog(this, "Save tonestack file", QString(), FileFilter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QString::fromLatin1(CircuitFileExtension.data(), int(CircuitFileExtension.size())));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

QMessageBox::StandardButton TfrmMain::AskSaveChanges()
{
    return QMessageBox::question(this, QGuiApplication::applicationDisplayName(),
                                 "This file has not been saved.  Do you want to save it?",
                                 QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
}

bool TfrmMain::CheckSave()
{
    if (!FDoc->State().Modified())
        return true;
    switch (AskSaveChanges()) {
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
    SetFileName(path);
    SetModified(false);
    FRecent.Add(path);
    return true;
}

bool TfrmMain::actFileSaveExecute()
{
    if (FDoc->State().FileName().empty())
        return actFileSaveAsExecute();
    return SaveTo(QString::fromStdString(FDoc->State().FileName()));
}

bool TfrmMain::actFileSaveAsExecute()
{
    const QString path = ChooseSaveFile();
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
    const QString path = ChooseOpenFile();
    if (!path.isEmpty())
        LoadFile(path);
}

void TfrmMain::actFileRevertExecute()
{
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
    if (!Guarded([&] { loaded = LoadCircuitFile(path.toStdString(), FDoc->Circuit(), TSpecialFiles::Refused); }))
        return false;
    // The curve shown so far stays on the plot for comparison.
    actPlotSnapshotExecute();
    const QString fileName = QFileInfo(path).fileName();
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
        ShowWarning(lines.join('\n'));
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
