#include "document/DocumentState.h"

namespace cva {

std::string TDocumentState::Caption() const
{
    std::string caption = std::string(ProgramTitle) + " " + CaptionVersion;
    caption += FFileName.empty() ? " <empty file>" : " [" + FFileName + "]";
    if (FModified)
        caption += " *";
    return caption;
}

} // namespace cva
