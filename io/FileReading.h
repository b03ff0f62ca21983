#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

#include "io/FileKinds.h"
#include "numerics/Error.h"

namespace cva {

// 'Cannot open file "PATH". REASON'
CorvantaError CannotOpenFile(const std::filesystem::path &path, std::string_view reason);

// Reads the whole file, which may also be a pipe or a device unless special
// files are refused (with NotRegularFile, before anything is read). A file
// known to be larger than maxBytes is refused before anything is read; a
// stream of unknown length is read no further than that. Opening never waits
// for a named pipe's writer: a pipe nobody writes to reads as empty. Raises
// CannotOpenFile with the system's reason, or for a file too large with
// "too large (N bytes; " + whatFits + ")".
std::string ReadWholeFile(const std::filesystem::path &path, std::size_t maxBytes, std::string_view whatFits,
                          TSpecialFiles special = TSpecialFiles::Allowed);

} // namespace cva
