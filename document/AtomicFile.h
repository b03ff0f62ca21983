#pragma once

#include <filesystem>
#include <functional>
#include <string_view>

namespace cva {

// The one writer of every file the programs produce (circuit files, curves,
// pictures). What it does depends on what the path names:
//  - a regular file, or nothing yet: the bytes go to a temporary file beside
//    it, are flushed to disk, and the temporary file is renamed into place,
//    so an existing file is never left half written. The temporary file is
//    removed on every failure, also when the process is killed by a signal
//    while it exists. An existing file keeps its permissions.
//  - a symbolic link, dangling or not: the file it leads to, as above; the
//    link itself stays.
//  - a character device or a FIFO (/dev/null, a terminal, a named pipe): the
//    bytes are written to it directly and in full; nothing is replaced.
//  - one of the process's own descriptors (/dev/stdout, /dev/fd/N,
//    /proc/self/fd/N): written to that descriptor, so a redirection or a
//    pipe receives the bytes where the shell set it up.
//  - anything else (a directory, a socket, a block device): refused.
// Raises 'Cannot create file "PATH". REASON'.
void WriteFileAtomically(const std::filesystem::path &path, std::string_view bytes);

// The same for content too large to hold at once: 'content' hands its bytes
// to the sink piece by piece, in order. What 'content' throws (its input
// cannot be read, say) leaves the target as it was and passes through as it
// is, not as a failure to create the file.
using TByteSink = std::function<void(std::string_view bytes)>;
using TContentWriter = std::function<void(const TByteSink &write)>;
void WriteFileAtomically(const std::filesystem::path &path, const TContentWriter &content);

} // namespace cva
