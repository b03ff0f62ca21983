#pragma once

// What the window shows, apart from the widgets: the circuit, the traces, the
// file it belongs to, the modified mark and the undo history. Every change
// of the circuit goes through Apply, which takes the moment before, makes
// the change, computes once (the live curve, the engine's sweep that the
// accuracy check and the other views share) and keeps the step for undo.

#include <functional>
#include <map>
#include <optional>
#include <string>

#include <QObject>
#include <QString>

#include "app/CircuitUndo.h"
#include "document/Circuit.h"
#include "document/DocumentState.h"
#include "models/Calc.h"
#include "models/NodalEngine.h"

class QUndoGroup;
class QUndoStack;

namespace cva {

// One change of the circuit as the user made it.
struct TChange {
    QString What = {}; // the undo step's text, "Move Bass to 70%"
    std::function<void(TCircuit &)> Edit = {};
    // What the live curve is afterwards (a preset's or a file's name); when
    // none is given, a change of the circuit leaves it unlabelled.
    std::optional<std::string> LiveLabel = {};
    // The file the circuit belongs to afterwards.
    std::optional<QString> FileName = {};
    // The result is what lies on disk (Open, New): no modified mark.
    bool Saved = false;
    // Kept as its own undo step; a slider being dragged is kept as one step
    // when it is let go (see EndDrag).
    bool Recorded = true;
};

class TCircuitDocument : public QObject {
    Q_OBJECT

public:
    explicit TCircuitDocument(QObject *parent = nullptr);

    const TCircuit &Circuit() const { return FCircuit; }
    const TTraceStore &Store() const { return FStore; }
    // The traces apart from the live one belong to the plot's commands.
    TTraceStore &Store() { return FStore; }
    const TDocumentState &State() const { return FState; }
    // The circuit file's history: every change but those of one netlist page alone.
    QUndoStack *UndoStack() const { return FUndo; }
    // A page's history: a netlist page's own, the circuit file's for the others.
    QUndoStack *PageUndoStack(int page);
    // The histories, the page shown's active: what Edit > Undo takes back.
    QUndoGroup *UndoGroup() const { return FUndoGroup; }

    void Apply(const TChange &change);
    // A slider drag is one step, from where it began to where it ends.
    void BeginDrag();
    void EndDrag(const QString &what);
    // The resolution belongs to the session: no undo step, no modified mark.
    void SetResolution(int step);
    void SetFileName(const QString &fileName);
    // True marks the circuit changed; false takes it as it stands as the one
    // on disk. The mark then follows the undo stack.
    void SetModified(bool modified);

    // The circuit as it stands through the loop model and the engine.
    void Recompute();
    // Why the live curve could not be computed last time; empty when it was.
    const QString &LiveFailure() const { return FLiveFailure; }
    // The engine's curves of the live circuit, and why there are none.
    const TResponseCurves &EngineCurves() const { return FEngine; }
    const QString &EngineFailure() const { return FEngineFailure; }
    // Where the loop model and the engine disagree, or the engine fails.
    const QString &AccuracyWarning() const { return FAccuracyWarning; }

signals:
    // The circuit was recomputed: curves, labels and controls may all differ.
    void Recomputed();
    // The file name or the modified mark changed.
    void CaptionChanged();

private:
    TDocumentMoment Moment() const;
    void Record(const QString &what, TDocumentMoment before);
    void Restore(const TDocumentMoment &moment);
    void RestorePage(const TPageMoment &moment);
    // A history for each netlist page there is; the page shown's is active.
    void FollowPages();

    TCircuit FCircuit;
    TTraceStore FStore;
    TDocumentState FState;
    QUndoGroup *FUndoGroup;
    QUndoStack *FUndo;
    std::map<int, QUndoStack *> FPageUndo;
    std::optional<TDocumentMoment> FDragStart;
    TResponseCurves FEngine;
    QString FLiveFailure;
    QString FEngineFailure;
    QString FAccuracyWarning;
};

} // namespace cva
