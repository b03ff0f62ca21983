#pragma once

// corvanta-cli keeps what needs large libraries (Qt for the pictures, the
// audio codecs for rendering) in modules it loads only when they are asked
// for, so that computing a curve starts as fast as a plain program.

#include <string>

namespace cva::cli {

// The entry point 'entry' of the module 'file', looked for beside the
// program (the build tree) and in the installed library folder. Raises
// 'Cannot PURPOSE: the module FILE REASON'.
void *LoadCliModuleEntry(const char *file, const char *entry, const std::string &purpose);

} // namespace cva::cli
