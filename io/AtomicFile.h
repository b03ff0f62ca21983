#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string_view>

#include "io/FileKinds.h"

namespace cva {

struct TWriteOptions {
    // Flushes the file and its folder to disk before the write counts as
    // done. Circuit files are the user's work and ask for it; computed
    // results (curves, pictures, audio) can be made again and are only
    // replaced atomically, which costs far less.
    bool Durable = false;
    // Refused: a pipe, a device or one of the process's own descriptors is
    // refused with NotRegularFile before anything is opened.
    TSpecialFiles Special = TSpecialFiles::Allowed;
};

// The one writer of every file the programs produce (circuit files, curves,
// pictures, audio). What it does depends on what the path names:
//  - a regular file, or nothing yet: the bytes go to a temporary file beside
//    it (".NAME~HASH.PID.RANDOM.corvanta-tmp"), which is renamed into place
//    once complete, so an existing file is never left half written. The
//    temporary file is removed on every failure, also when a signal ends the
//    process; one that a killed run of this user left for the same target is
//    removed at the next write of it. An existing file keeps its
//    permissions and group. One that has other hard links or belongs to
//    another user is overwritten in place from the complete temporary file
//    instead, so that it stays the same file with its owner.
//  - a symbolic link, dangling or not: the file it leads to, as above; the
//    link itself stays. As the kernel's protected-links rule has it, a link
//    in a sticky world-writable folder (as /tmp) is followed only when it
//    belongs to the writer or to the folder's owner; otherwise
//    'Cannot create file "PATH": a link in a shared folder that belongs to
//    another user'.
//  - a character device or a FIFO (/dev/null, a terminal, a named pipe): the
//    bytes are written to it directly and in full; nothing is replaced.
//  - one of the process's own descriptors (/dev/stdout, /dev/fd/N,
//    /proc/self/fd/N): written to that descriptor, so a redirection or a
//    pipe receives the bytes where the shell set it up.
//  - anything else (a directory, a socket, a block device): refused.
// Every failure raises 'Cannot create file "PATH". REASON'.
class TAtomicFile {
public:
    // Checks the path and prepares the write (the temporary file exists from
    // here on), so that several outputs can all be checked before any of
    // them is written.
    explicit TAtomicFile(const std::filesystem::path &path, TWriteOptions options = {});
    // Without Commit, a regular file stays as it was and the temporary file
    // is removed.
    ~TAtomicFile();
    TAtomicFile(const TAtomicFile &) = delete;
    TAtomicFile &operator=(const TAtomicFile &) = delete;

    void Write(std::string_view bytes);
    // Puts the complete file in place.
    void Commit();

private:
    struct TState;
    std::unique_ptr<TState> State;
};

// TAtomicFile with all the bytes at once.
void WriteFileAtomically(const std::filesystem::path &path, std::string_view bytes, TWriteOptions options = {});

// The same for content too large to hold at once: 'content' hands its bytes
// to the sink piece by piece, in order. What 'content' throws (its input
// cannot be read, say) leaves the target as it was and passes through as it
// is, not as a failure to create the file.
using TByteSink = std::function<void(std::string_view bytes)>;
using TContentWriter = std::function<void(const TByteSink &write)>;
void WriteFileAtomically(const std::filesystem::path &path, const TContentWriter &content, TWriteOptions options = {});

} // namespace cva
