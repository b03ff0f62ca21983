#include "app/CircuitUndo.h"

namespace cva {

TCircuitCommand::TCircuitCommand(const QString &text, TDocumentMoment before, TDocumentMoment after,
                                 TRestore restore)
    : QUndoCommand(text), FBefore(std::move(before)), FAfter(std::move(after)), FRestore(std::move(restore))
{
}

void TCircuitCommand::undo()
{
    FRestore(FBefore);
}

void TCircuitCommand::redo()
{
    if (FPushed)
        FRestore(FAfter);
    FPushed = true;
}

} // namespace cva
