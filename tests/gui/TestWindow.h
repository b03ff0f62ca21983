#pragma once

// The real main window with the user's answers to the standard dialogs
// scripted, and helpers that drive its modal edit dialogs.

#include <functional>
#include <optional>

#include <QApplication>
#include <QColor>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QStringList>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include "app/DesignCommands.h"
#include "app/EditDialogs.h"
#include "app/FileCommands.h"
#include "app/MainWindow.h"
#include "app/OutputCommands.h"
#include "app/PlotViews.h"
#include "app/PresetCommands.h"
#include "app/TraceCommands.h"
#include "app/SchematicPage.h"
#include "document/Circuit.h"

namespace cva::test {

// The user's answers, scripted: each dialog returns what the test set.
class TScriptedDialogs : public TUserDialogs {
public:
    TScriptedDialogs() : TUserDialogs(nullptr) {}

    // Empty text: the user cancels the file dialog.
    QString OpenAnswer;
    QString SaveAnswer;
    QMessageBox::StandardButton SaveQuestionAnswer = QMessageBox::No;
    std::optional<QColor> ColourAnswer;
    QString ExportAnswer;
    QString ExportFilterAnswer;
    // Empty: the size offered first, as the screen shows the plot.
    std::optional<QSize> ExportSizeAnswer;
    QSize OfferedExportSize;
    std::optional<QString> SnapshotLabelAnswer;
    std::optional<std::vector<int>> SweepPointsAnswer;

    int OpenDialogs = 0;
    int SaveDialogs = 0;
    int SaveQuestions = 0;
    QStringList NetlistQuestions; // the file names asked about
    QStringList Errors;
    QStringList Warnings;
    QList<int> HelpContexts;

protected:
    QString ChooseOpenFile() override
    {
        ++OpenDialogs;
        return OpenAnswer;
    }
    QString ChooseSaveFile() override
    {
        ++SaveDialogs;
        return SaveAnswer;
    }
    QMessageBox::StandardButton AskSaveChanges() override
    {
        ++SaveQuestions;
        return SaveQuestionAnswer;
    }
    QString ChooseNetlistSaveFile(const QString &) override
    {
        ++SaveDialogs;
        return SaveAnswer;
    }
    QMessageBox::StandardButton AskSaveNetlist(const QString &name) override
    {
        NetlistQuestions << name;
        return SaveQuestionAnswer;
    }
    std::optional<QColor> ChooseColour(const QColor &) override { return ColourAnswer; }
    void ShowError(const QString &message) override { Errors << message; }
    void ShowWarning(const QString &message) override { Warnings << message; }
    std::optional<QString> ChooseSnapshotLabel(const QString &) override { return SnapshotLabelAnswer; }
    std::optional<std::vector<int>> ChooseSweepPoints(const std::vector<int> &, int) override
    {
        return SweepPointsAnswer;
    }
    void ShowHelp(int context) override { HelpContexts << context; }
    std::optional<QSize> ChooseExportSize(QSize onScreen) override
    {
        OfferedExportSize = onScreen;
        return ExportSizeAnswer ? ExportSizeAnswer : onScreen;
    }
    QString ChooseExportFile(QString &selectedFilter) override
    {
        selectedFilter = ExportFilterAnswer;
        return ExportAnswer;
    }
};

// The real main window answered by its scripted dialogs.
class TTestWindow : public TScriptedDialogs, public TfrmMain {
public:
    TTestWindow() : TfrmMain(this) {}
};

// The live trace that the computation core gives for a circuit.
inline TTrace CoreTrace(const TCircuit &circuit)
{
    TTrace trace{};
    Recalculate(circuit, trace);
    return trace;
}

inline TCircuit CircuitAt(int topology, int bass, int mid, int treble, int step = ResolutionMedium)
{
    TCircuit circuit;
    circuit.Active = topology;
    circuit.SetPosition(BuiltInControl::Bass, bass);
    circuit.SetPosition(BuiltInControl::Mid, mid);
    circuit.SetPosition(BuiltInControl::Treble, treble);
    circuit.ResolutionStep = step;
    return circuit;
}

// Runs `answer` on the edit dialog once it is up; `trigger` is what opens it.
// Returns false when no edit dialog came up.
inline bool WithEditDialog(const std::function<void()> &trigger, const std::function<void(TEditDialog &)> &answer)
{
    bool seen = false;
    std::function<void()> poll;
    int tries = 0;
    poll = [&] {
        auto *dialog = qobject_cast<TEditDialog *>(QApplication::activeModalWidget());
        if (dialog && dialog->isVisible()) {
            seen = true;
            answer(*dialog);
            // Whatever the answer, never leave a dialog up to hang the test.
            if (dialog->isVisible())
                dialog->reject();
            return;
        }
        if (++tries < 200)
            QTimer::singleShot(10, poll);
    };
    QTimer::singleShot(0, poll);
    trigger();
    // A trigger that opened nothing leaves the poll running; let it finish.
    while (!seen && tries < 200)
        QTest::qWait(10);
    return seen;
}

// Types into the value field (replacing the selected text) and presses OK.
inline void TypeAndOk(TEditDialog &dialog, const QString &text)
{
    QTest::keyClicks(dialog.SourceEdit(), text);
    QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
}

// A double-click where the user would make it: on the topmost child under
// the point, as the window system delivers it.
inline void DoubleClickAt(QWidget *page, QPoint point)
{
    QWidget *target = page->childAt(point);
    if (!target)
        target = page;
    QTest::mouseDClick(target, Qt::LeftButton, {}, target->mapFrom(page, point));
}

inline void DoubleClickComponent(TfrmMain &window, const QString &symbol)
{
    auto *page = qobject_cast<TSchematicPage *>(window.Pages()->currentWidget());
    DoubleClickAt(page, page->Area(symbol).center().toPoint());
}

} // namespace cva::test
