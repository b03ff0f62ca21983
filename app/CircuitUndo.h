#pragma once

// Undo and redo of the circuit: every change the user makes is kept as the
// document before and after it, so that taking it back or doing it again is
// putting one of the two in place.

#include <functional>
#include <optional>
#include <string>

#include <QString>
#include <QUndoCommand>

#include "document/Circuit.h"

namespace cva {

// What a change can alter: the circuit, the file it belongs to, and what the
// live curve is labelled as (a preset's or a file's name). A step that did
// not change the file leaves the name out, so that taking it back keeps the
// name a later Save As gave.
struct TDocumentMoment {
    TCircuit Circuit;
    std::optional<QString> FileName;
    std::string LiveLabel;
};

class TCircuitCommand : public QUndoCommand {
public:
    using TRestore = std::function<void(const TDocumentMoment &)>;

    // The change has already been made when the command is pushed.
    TCircuitCommand(const QString &text, TDocumentMoment before, TDocumentMoment after, TRestore restore);

    void undo() override;
    void redo() override;

private:
    TDocumentMoment FBefore;
    TDocumentMoment FAfter;
    TRestore FRestore;
    // QUndoStack::push runs redo at once, for a change that is already made.
    bool FPushed = false;
};

} // namespace cva
