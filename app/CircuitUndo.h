#pragma once

// Undo and redo of the circuit: every change the user makes is kept as the
// document before and after it, so that taking it back or doing it again is
// putting one of the two in place. A change of one netlist page alone is
// kept as that page before and after it, in the page's own history.

#include <functional>
#include <optional>
#include <string>
#include <utility>

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

// What a change of one netlist page alone alters.
struct TPageMoment {
    int Page = 0;
    TPageState State;
    std::string LiveLabel;
};

template <class TMoment>
class TMomentCommand : public QUndoCommand {
public:
    using TRestore = std::function<void(const TMoment &)>;

    // The change has already been made when the command is pushed.
    TMomentCommand(const QString &text, TMoment before, TMoment after, TRestore restore)
        : QUndoCommand(text), FBefore(std::move(before)), FAfter(std::move(after)), FRestore(std::move(restore))
    {
    }

    void undo() override { FRestore(FBefore); }
    void redo() override
    {
        // QUndoStack::push runs redo at once, for a change that is already made.
        if (FPushed)
            FRestore(FAfter);
        FPushed = true;
    }

private:
    TMoment FBefore;
    TMoment FAfter;
    TRestore FRestore;
    bool FPushed = false;
};

} // namespace cva
