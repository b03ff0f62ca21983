#pragma once

// corvanta-cli keeps what needs large libraries (Qt for the pictures, the
// audio codecs for rendering) in modules it loads only when they are asked
// for, so that computing a curve starts as fast as a plain program.

#include <filesystem>
#include <optional>
#include <string>

namespace cva::cli {

// The absolute folder of the running program, links resolved, as the
// kernel tells it; nothing when it cannot be known (no /proc).
std::optional<std::filesystem::path> ProgramFolder();

// The entry point 'entry' of the module 'file', looked for beside the
// program (the build tree) and in the installed library folder relative to
// it, and nowhere else: without the program's folder the option is refused
// rather than a module taken from the working folder. Raises
// 'Cannot PURPOSE: ...' with the reason.
void *LoadCliModuleEntry(const char *file, const char *entry, const std::string &purpose);

} // namespace cva::cli
