#include "document/AtomicFile.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <exception>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "numerics/Error.h"

namespace fs = std::filesystem;

namespace cva {

namespace {

struct TContentFailed {};

// Where the bytes go once links are followed.
struct TWriteTarget {
    std::optional<int> OwnDescriptor; // /dev/stdout and the like
    fs::path File;                    // otherwise the file itself
};

bool AllDigits(std::string_view text)
{
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

// /dev/fd/N, /proc/self/fd/N, /proc/thread-self/fd/N and /proc/PID/fd/N for
// this process's PID name descriptor N of this process.
std::optional<int> OwnDescriptorNamed(const fs::path &path)
{
    const std::string text = path.lexically_normal().string();
    const std::string own = "/proc/" + std::to_string(::getpid()) + "/fd/";
    for (const std::string &folder : {std::string("/dev/fd/"), std::string("/proc/self/fd/"),
                                      std::string("/proc/thread-self/fd/"), own}) {
        if (text.rfind(folder, 0) != 0)
            continue;
        const std::string_view number = std::string_view(text).substr(folder.size());
        if (AllDigits(number) && number.size() < 10)
            return std::stoi(std::string(number));
    }
    return std::nullopt;
}

// Follows symbolic links one at a time, so that a dangling link leads to the
// file it would name and a link into /proc/self/fd is seen for what it is.
TWriteTarget ResolveTarget(const fs::path &path)
{
    constexpr int MaxLinks = 40; // as the kernel allows
    fs::path current = path;
    for (int hop = 0; hop <= MaxLinks; ++hop) {
        if (const auto descriptor = OwnDescriptorNamed(fs::absolute(current)))
            return {descriptor, {}};
        struct stat status {};
        if (::lstat(current.c_str(), &status) != 0 || !S_ISLNK(status.st_mode))
            return {std::nullopt, current};
        std::error_code error;
        const fs::path next = fs::read_symlink(current, error);
        if (error)
            return {std::nullopt, current};
        current = next.is_absolute() ? next : current.parent_path() / next;
    }
    throw std::system_error(ELOOP, std::generic_category());
}

void WriteAll(int descriptor, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(descriptor, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            throw std::system_error(errno, std::generic_category());
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
}

TByteSink SinkTo(int descriptor)
{
    return [descriptor](std::string_view bytes) { WriteAll(descriptor, bytes); };
}

// While a temporary file exists, a signal that would end the process removes
// it first. Only signals left at their default action are taken over: one a
// program ignores or handles itself stays as it was.
class TTemporaryFileGuard {
public:
    TTemporaryFileGuard()
    {
        struct sigaction action {};
        action.sa_handler = &TTemporaryFileGuard::RemoveAndDie;
        sigemptyset(&action.sa_mask);
        for (std::size_t i = 0; i < Signals.size(); ++i) {
            struct sigaction previous {};
            Installed[i] = ::sigaction(Signals[i], nullptr, &previous) == 0 && previous.sa_handler == SIG_DFL &&
                           ::sigaction(Signals[i], &action, nullptr) == 0;
        }
    }
    ~TTemporaryFileGuard()
    {
        Path[0] = '\0';
        for (std::size_t i = 0; i < Signals.size(); ++i)
            if (Installed[i])
                ::signal(Signals[i], SIG_DFL);
    }
    TTemporaryFileGuard(const TTemporaryFileGuard &) = delete;
    TTemporaryFileGuard &operator=(const TTemporaryFileGuard &) = delete;

    // Creates the file with the signals held back, so that none can arrive
    // between its creation and the moment the handler knows its name.
    int Create(const fs::path &temporary)
    {
        sigset_t held, previous;
        sigemptyset(&held);
        for (int signal : Signals)
            sigaddset(&held, signal);
        ::sigprocmask(SIG_BLOCK, &held, &previous);
        const int descriptor = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        const int error = errno;
        if (descriptor >= 0 && temporary.native().size() < Path.size())
            std::memcpy(Path.data(), temporary.c_str(), temporary.native().size() + 1);
        ::sigprocmask(SIG_SETMASK, &previous, nullptr);
        errno = error;
        return descriptor;
    }

    // The file is renamed or removed: nothing is left to clean up.
    void Forget() { Path[0] = '\0'; }

private:
    static void RemoveAndDie(int signal)
    {
        if (Path[0] != '\0')
            ::unlink(Path.data());
        // Delivered with the default action once the handler returns.
        ::signal(signal, SIG_DFL);
        ::raise(signal);
    }

    static constexpr std::array<int, 5> Signals{SIGXFSZ, SIGPIPE, SIGINT, SIGTERM, SIGHUP};
    static inline std::array<char, 4096> Path{};
    std::array<bool, Signals.size()> Installed{};
};

std::string RandomSuffix()
{
    std::random_device device;
    std::ostringstream out;
    out << ".~" << std::hex << (device() & 0xFFFFFFFFu);
    return out.str();
}

// A new file of a short name of its own in the folder: appending to the
// target's name would fail for names near the length limit.
int CreateTemporary(TTemporaryFileGuard &guard, const fs::path &folder, fs::path &temporary)
{
    for (int attempt = 0;; ++attempt) {
        temporary = folder / (".cva" + RandomSuffix());
        const int descriptor = guard.Create(temporary);
        if (descriptor >= 0 || errno != EEXIST || attempt == 100)
            return descriptor;
    }
}

void SyncFolder(const fs::path &folder)
{
    const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0)
        throw std::system_error(errno, std::generic_category());
    const int result = ::fsync(descriptor);
    const int error = errno;
    ::close(descriptor);
    // Some file systems cannot flush a folder; the rename is all they offer.
    if (result != 0 && error != EINVAL)
        throw std::system_error(error, std::generic_category());
}

void ReplaceRegularFile(const fs::path &target, const struct stat *existing, const TContentWriter &content)
{
    if (existing && ::access(target.c_str(), W_OK) != 0)
        throw std::system_error(errno, std::generic_category());
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    TTemporaryFileGuard guard;
    fs::path temporary;
    int descriptor = CreateTemporary(guard, folder, temporary);
    if (descriptor < 0)
        throw std::system_error(errno, std::generic_category());
    try {
        if (existing)
            ::fchmod(descriptor, existing->st_mode & 07777);
        content(SinkTo(descriptor));
        if (::fsync(descriptor) != 0)
            throw std::system_error(errno, std::generic_category());
        const int closed = ::close(descriptor);
        descriptor = -1;
        if (closed != 0)
            throw std::system_error(errno, std::generic_category());
        if (::rename(temporary.c_str(), target.c_str()) != 0)
            throw std::system_error(errno, std::generic_category());
    } catch (...) {
        if (descriptor >= 0)
            ::close(descriptor);
        ::unlink(temporary.c_str());
        guard.Forget();
        throw;
    }
    guard.Forget();
    SyncFolder(folder);
}

void WriteInPlace(const fs::path &target, const TContentWriter &content)
{
    const int descriptor = ::open(target.c_str(), O_WRONLY | O_CLOEXEC);
    if (descriptor < 0)
        throw std::system_error(errno, std::generic_category());
    try {
        content(SinkTo(descriptor));
    } catch (...) {
        ::close(descriptor);
        throw;
    }
    if (::close(descriptor) != 0)
        throw std::system_error(errno, std::generic_category());
}

void Write(const fs::path &path, const TContentWriter &content)
{
    const TWriteTarget target = ResolveTarget(path);
    if (target.OwnDescriptor) {
        content(SinkTo(*target.OwnDescriptor));
        return;
    }
    struct stat status {};
    if (::stat(target.File.c_str(), &status) != 0) {
        if (errno != ENOENT)
            throw std::system_error(errno, std::generic_category());
        ReplaceRegularFile(target.File, nullptr, content);
    } else if (S_ISREG(status.st_mode)) {
        ReplaceRegularFile(target.File, &status, content);
    } else if (S_ISCHR(status.st_mode) || S_ISFIFO(status.st_mode)) {
        WriteInPlace(target.File, content);
    } else if (S_ISDIR(status.st_mode)) {
        throw std::system_error(EISDIR, std::generic_category());
    } else {
        throw CorvantaError(S_ISSOCK(status.st_mode) ? "Is a socket, not a file"
                                                     : "Is a block device, not a file");
    }
}

} // namespace

void WriteFileAtomically(const fs::path &path, std::string_view bytes)
{
    WriteFileAtomically(path, [bytes](const TByteSink &write) { write(bytes); });
}

void WriteFileAtomically(const fs::path &path, const TContentWriter &content)
{
    auto fail = [&path](const std::string &reason) {
        return CorvantaError("Cannot create file \"" + path.string() + "\". " + reason);
    };
    // What the content itself fails with (reading its input, say) is its own
    // message, not a failure to create the file.
    std::exception_ptr contentFailure;
    const TContentWriter guarded = [&](const TByteSink &write) {
        try {
            content(write);
        } catch (const std::system_error &) {
            throw; // the writing
        } catch (...) {
            contentFailure = std::current_exception();
            throw TContentFailed{};
        }
    };
    try {
        Write(path, guarded);
    } catch (const TContentFailed &) {
        std::rethrow_exception(contentFailure);
    } catch (const std::system_error &error) {
        throw fail(std::strerror(error.code().value()));
    } catch (const CorvantaError &error) {
        throw fail(error.what());
    }
}

} // namespace cva
