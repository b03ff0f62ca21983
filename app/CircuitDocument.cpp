#include "app/CircuitDocument.h"

#include <algorithm>
#include <limits>
#include <utility>

#include <QUndoGroup>
#include <QUndoStack>

#include "document/ModelCheck.h"
#include "document/Netlist.h"
#include "document/NetlistPage.h"
#include "numerics/Error.h"

namespace cva {

namespace {

// Each step keeps two whole circuits, some kilobytes: a long session of key
// presses stays within a few megabytes.
constexpr int UndoLimit = 1000;

// The netlist page shown, when a change altered that page and nothing else.
std::optional<int> OnlyNetlistPageChanged(const TCircuit &before, const TCircuit &after)
{
    const int page = after.Active;
    if (before.Active != page || before.Pages().Count() != after.Pages().Count() || !after.ActiveInfo().IsNetlist())
        return std::nullopt;
    TCircuit changed = before;
    changed.SetPageState(page, after.PageState(page));
    if (changed != after)
        return std::nullopt;
    return page;
}

} // namespace

TCircuitDocument::TCircuitDocument(QObject *parent)
    : QObject(parent), FUndoGroup(new QUndoGroup(this)), FUndo(new QUndoStack(this))
{
    FUndo->setUndoLimit(UndoLimit);
    FUndoGroup->addStack(FUndo);
    FUndoGroup->setActiveStack(FUndo);
    connect(FUndo, &QUndoStack::cleanChanged, this, [this](bool clean) {
        FState.SetModified(!clean);
        emit CaptionChanged();
    });
}

TDocumentMoment TCircuitDocument::Moment() const
{
    return {FCircuit, QString::fromStdString(FState.FileName()), FStore.Labels[0]};
}

void TCircuitDocument::Apply(const TChange &change)
{
    std::optional<TDocumentMoment> before;
    if (change.Recorded)
        before = Moment();
    const TCircuit previous = FCircuit;
    change.Edit(FCircuit);
    // A netlist page's text says what the page shows, values and knobs included.
    WriteBackNetlistText(FCircuit);
    if (change.FileName) {
        FState.SetFileName(change.FileName->toStdString());
        emit CaptionChanged();
    }
    // Labelled before the views show the new curve.
    if (change.LiveLabel)
        FStore.Labels[0] = *change.LiveLabel;
    else if (FCircuit != previous)
        FStore.Labels[0].clear();
    Recompute();
    if (before)
        Record(change.What, std::move(*before));
    if (change.Saved)
        SetModified(false);
}

void TCircuitDocument::BeginDrag()
{
    FDragStart = Moment();
}

void TCircuitDocument::EndDrag(const QString &what)
{
    if (FDragStart)
        Record(what, *std::exchange(FDragStart, std::nullopt));
}

void TCircuitDocument::Record(const QString &what, TDocumentMoment before)
{
    const QString fileName = QString::fromStdString(FState.FileName());
    const bool sameFile = before.FileName == fileName;
    if (before.Circuit == FCircuit && sameFile) {
        // Nothing to take back, though the user counts it as an edit.
        SetModified(true);
        return;
    }
    if (const auto page = sameFile ? OnlyNetlistPageChanged(before.Circuit, FCircuit) : std::nullopt) {
        // A netlist is a document of its own, with a history of its own.
        PageUndoStack(*page)->push(new TMomentCommand<TPageMoment>(
            what, {*page, before.Circuit.PageState(*page), before.LiveLabel}, {*page, FCircuit.PageState(*page), FStore.Labels[0]},
            [this](const TPageMoment &moment) { RestorePage(moment); }));
        return;
    }
    TDocumentMoment after{FCircuit, std::nullopt, FStore.Labels[0]};
    if (sameFile)
        before.FileName.reset();
    else
        after.FileName = fileName;
    FUndo->push(new TMomentCommand<TDocumentMoment>(what, std::move(before), std::move(after),
                                    [this](const TDocumentMoment &moment) { Restore(moment); }));
}

void TCircuitDocument::Restore(const TDocumentMoment &moment)
{
    // The resolution belongs to the session, not to the circuit.
    TCircuit restored = moment.Circuit;
    restored.ResolutionStep = FCircuit.ResolutionStep;
    // The netlist pages keep their own histories: a step of the circuit
    // file leaves each as it stands.
    const int shared = std::min(restored.Pages().Count(), FCircuit.Pages().Count());
    for (int page = 0; page < shared; ++page)
        if (restored.Pages().Page(page).IsNetlist() && FCircuit.Pages().Page(page).IsNetlist())
            restored.SetPageState(page, FCircuit.PageState(page));
    FCircuit = std::move(restored);
    if (moment.FileName)
        SetFileName(*moment.FileName);
    FStore.Labels[0] = moment.LiveLabel;
    Recompute();
}

void TCircuitDocument::RestorePage(const TPageMoment &moment)
{
    FCircuit.SetPageState(moment.Page, moment.State);
    FCircuit.Active = moment.Page;
    FStore.Labels[0] = moment.LiveLabel;
    Recompute();
}

QUndoStack *TCircuitDocument::PageUndoStack(int page)
{
    if (!FCircuit.Pages().Page(page).IsNetlist())
        return FUndo;
    QUndoStack *&stack = FPageUndo[page];
    if (!stack) {
        stack = new QUndoStack(this);
        stack->setUndoLimit(UndoLimit);
        FUndoGroup->addStack(stack);
    }
    return stack;
}

void TCircuitDocument::FollowPages()
{
    // A netlist page that is gone takes its history with it; a page that
    // comes later in its place starts a history of its own.
    for (auto at = FPageUndo.begin(); at != FPageUndo.end();) {
        if (at->first < FCircuit.Pages().Count() && FCircuit.Pages().Page(at->first).IsNetlist()) {
            ++at;
            continue;
        }
        at->second->deleteLater();
        FUndoGroup->removeStack(at->second);
        at = FPageUndo.erase(at);
    }
    FUndoGroup->setActiveStack(PageUndoStack(FCircuit.Active));
}

void TCircuitDocument::SetResolution(int step)
{
    FCircuit.ResolutionStep = step;
    Recompute();
}

void TCircuitDocument::SetFileName(const QString &fileName)
{
    FState.SetFileName(fileName.toStdString());
    emit CaptionChanged();
}

void TCircuitDocument::SetModified(bool modified)
{
    if (modified)
        FUndo->resetClean();
    else
        FUndo->setClean();
    FState.SetModified(!FUndo->isClean());
    emit CaptionChanged();
}

void TCircuitDocument::Recompute()
{
    TTrace none;
    none.fill(std::numeric_limits<double>::quiet_NaN());
    // One sweep of the engine serves the accuracy check and every view.
    try {
        CalcCurves(BuildNetlist(FCircuit), FCircuit.ResolutionStep, FEngine);
        FStore.Quantities[0] = {FEngine.PhaseDeg, FEngine.GroupDelayS, FEngine.ImpedanceOhm};
        FEngineFailure.clear();
    } catch (const CorvantaError &error) {
        // No quantity of another circuit stands beside the new gain: the
        // live trace has none until the engine can solve it again.
        FStore.Quantities[0] = {none, none, none};
        FEngineFailure = QString::fromStdString(error.what());
        FAccuracyWarning = QString::fromStdString(EngineFailureWarning(error));
    }
    try {
        cva::Recalculate(FCircuit, FStore.Traces[0]);
        FLiveFailure.clear();
        if (FEngineFailure.isEmpty()) {
            const auto warning = ModelAccuracyWarning(FStore.Traces[0], FEngine.GainDB);
            FAccuracyWarning = warning ? QString::fromStdString(*warning) : QString();
        }
    } catch (const std::exception &error) {
        // No curve of the circuit before stands in for this one: every view,
        // snapshot and export would show it as the circuit's.
        FStore.Traces[0] = none;
        FStore.Quantities[0] = {none, none, none};
        FLiveFailure = QString::fromStdString(error.what());
        FAccuracyWarning.clear();
    }
    FollowPages();
    emit Recomputed();
}

} // namespace cva
