#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include <sys/stat.h>

namespace cva {

// Whether a named pipe, a device or a socket may stand for a file. The
// command-line tool reads and writes them as any Unix tool does; the desktop
// program refuses them, as it would wait for a pipe's other end with its
// window frozen, and saving a circuit into a device makes no sense.
enum class TSpecialFiles { Allowed, Refused };

inline const char *const NotRegularFile = "not a regular file";

// NotRegularFile for a named pipe, a device or a socket (links followed);
// nothing for anything else, also a missing file, which the opener reports
// in its own words. Never opens the file, so never waits.
inline std::optional<std::string> SpecialFileReason(const std::filesystem::path &path)
{
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0 || S_ISREG(status.st_mode) || S_ISDIR(status.st_mode))
        return std::nullopt;
    return NotRegularFile;
}

} // namespace cva
