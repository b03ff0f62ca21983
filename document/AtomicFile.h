#pragma once

#include <filesystem>
#include <string_view>

namespace cva {

// Writes the text beside the target and renames it into place, so an
// existing file is never left half written. A symbolic link keeps pointing at
// the file it named, and an existing file keeps its permissions. Raises
// 'Cannot create file "PATH". REASON'.
void WriteFileAtomically(const std::filesystem::path &path, std::string_view text);

} // namespace cva
