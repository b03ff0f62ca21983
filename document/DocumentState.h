#pragma once

// Which circuit file is shown and whether it changed since it was loaded or
// saved; both show in the window caption.

#include <string>

#include "document/Version.h"

namespace cva {

constexpr const char *ProgramTitle = "Corvanta";

class TDocumentState {
public:
    const std::string &FileName() const { return FFileName; }
    bool Modified() const { return FModified; }
    void SetFileName(std::string fileName) { FFileName = std::move(fileName); }
    void SetModified(bool modified) { FModified = modified; }
    // "Corvanta 1.3 <empty file>", "Corvanta 1.3 [/path/amp.cva] *".
    std::string Caption() const;

private:
    std::string FFileName;
    bool FModified = false;
};

} // namespace cva
