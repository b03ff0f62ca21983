#include "io/AtomicFile.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <climits>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <optional>
#include <random>
#include <string>
#include <system_error>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

#include "numerics/Error.h"

namespace fs = std::filesystem;

namespace cva {

namespace {

// A refusal of the writer's own, told after the path as '. REASON' or, for
// a planted link, ': REASON'.
struct TRefusal {
    std::string Separator;
    std::string Reason;
};

[[noreturn]] void Refuse(std::string reason)
{
    throw TRefusal{". ", std::move(reason)};
}

[[noreturn]] void FailWithErrno(int error)
{
    throw std::system_error(error, std::generic_category());
}

[[noreturn]] void FailWithErrno()
{
    FailWithErrno(errno);
}

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

fs::path FolderOf(const fs::path &path)
{
    return path.has_parent_path() ? path.parent_path() : fs::path(".");
}

// The kernel follows a link in a sticky world-writable folder only for the
// link's owner or the folder's owner, so that nobody can plant one in /tmp
// for somebody else's writes. Replacing the file a link names is following
// it, and the writer does that itself, so it applies the same rule.
void RefuseLinkPlantedByOthers(const fs::path &link, const struct stat &linkStatus)
{
    struct stat folder {};
    if (::stat(FolderOf(link).c_str(), &folder) != 0)
        FailWithErrno();
    const bool shared = (folder.st_mode & S_ISVTX) && (folder.st_mode & S_IWOTH);
    if (shared && linkStatus.st_uid != ::geteuid() && linkStatus.st_uid != folder.st_uid)
        throw TRefusal{": ", "a link in a shared folder that belongs to another user"};
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
        RefuseLinkPlantedByOthers(current, status);
        std::error_code error;
        const fs::path next = fs::read_symlink(current, error);
        if (error)
            return {std::nullopt, current};
        current = next.is_absolute() ? next : current.parent_path() / next;
    }
    FailWithErrno(ELOOP);
}

void WriteAll(int descriptor, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(descriptor, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            FailWithErrno();
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
}

void Close(int &descriptor)
{
    if (descriptor < 0)
        return;
    const int result = ::close(descriptor);
    descriptor = -1;
    if (result != 0 && errno != EINTR)
        FailWithErrno();
}

// Every signal whose default action ends the process without the program's
// doing: while a temporary file exists, each removes it first.
std::vector<int> EndingSignals()
{
    std::vector<int> signals{SIGHUP,  SIGINT,  SIGQUIT, SIGTERM,   SIGPIPE, SIGALRM, SIGUSR1,
                             SIGUSR2, SIGXFSZ, SIGXCPU, SIGVTALRM, SIGPROF, SIGIO,   SIGPWR};
    for (int signal = SIGRTMIN; signal <= SIGRTMAX; ++signal)
        signals.push_back(signal);
    return signals;
}

// One temporary file's name as the signal handler reads it: filled in
// before it is marked as used, so the handler never sees half a name.
struct TTemporarySlot {
    std::atomic<bool> Used{false};
    std::array<char, PATH_MAX> Path{};
};
static_assert(std::atomic<bool>::is_always_lock_free);

// The temporary files of the process, known to the signal handler. Only
// signals left at their default action are taken over, and only while a
// temporary file exists: one that a program ignores or handles itself stays
// as it was.
class TTemporaryFiles {
public:
    // Creates the file with the signals held back, so that none can arrive
    // between its creation and the moment the handler knows its name.
    static int Create(const fs::path &temporary, int &slot)
    {
        static const std::vector<int> signals = EndingSignals();
        sigset_t held, previous;
        sigemptyset(&held);
        for (int signal : signals)
            sigaddset(&held, signal);
        ::pthread_sigmask(SIG_BLOCK, &held, &previous);
        const int descriptor = ::open(temporary.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        const int error = errno;
        slot = -1;
        if (descriptor >= 0) {
            const std::lock_guard lock(Mutex);
            if (Count++ == 0)
                TakeOverSignals(signals);
            for (std::size_t i = 0; i < Slots.size() && slot < 0; ++i)
                if (!Slots[i].Used.load() && temporary.native().size() < Slots[i].Path.size()) {
                    std::memcpy(Slots[i].Path.data(), temporary.c_str(), temporary.native().size() + 1);
                    Slots[i].Used.store(true);
                    slot = int(i);
                }
        }
        ::pthread_sigmask(SIG_SETMASK, &previous, nullptr);
        errno = error;
        return descriptor;
    }

    // The file is renamed or removed: nothing is left to clean up.
    static void Forget(int slot)
    {
        const std::lock_guard lock(Mutex);
        if (slot >= 0)
            Slots[std::size_t(slot)].Used.store(false);
        if (--Count == 0)
            GiveBackSignals();
    }

private:
    static void TakeOverSignals(const std::vector<int> &signals)
    {
        struct sigaction action {};
        action.sa_handler = &RemoveAndDie;
        sigemptyset(&action.sa_mask);
        for (int signal : signals) {
            struct sigaction previous {};
            if (::sigaction(signal, nullptr, &previous) == 0 && previous.sa_handler == SIG_DFL &&
                ::sigaction(signal, &action, nullptr) == 0)
                Taken.push_back(signal);
        }
    }

    static void GiveBackSignals()
    {
        for (int signal : Taken)
            ::signal(signal, SIG_DFL);
        Taken.clear();
    }

    static void RemoveAndDie(int signal)
    {
        for (const TTemporarySlot &slot : Slots)
            if (slot.Used.load())
                ::unlink(slot.Path.data());
        // Delivered with the default action once the handler returns.
        ::signal(signal, SIG_DFL);
        ::raise(signal);
    }

    static inline std::array<TTemporarySlot, 32> Slots{};
    static inline std::mutex Mutex;
    static inline int Count = 0;
    static inline std::vector<int> Taken;
};

// Temporary files are named after their target, so that one left behind by
// a killed run (SIGKILL cannot be caught) is recognised as that target's and
// removed at its next write: ".NAME~HASH.PID.RANDOM.corvanta-tmp", NAME the
// start of the target's name, HASH the hash of all of it, which keeps the
// name short for targets near the length limit.
constexpr std::string_view TemporarySuffix = ".corvanta-tmp";
constexpr std::size_t TemporaryNameHead = 24;

std::string TemporaryPrefix(const std::string &targetName)
{
    std::uint64_t hash = 0xcbf29ce484222325u; // FNV-1a
    for (const unsigned char c : targetName)
        hash = (hash ^ c) * 0x100000001b3u;
    std::size_t head = std::min(targetName.size(), TemporaryNameHead);
    // Not in the middle of a UTF-8 sequence.
    while (head > 0 && head < targetName.size() && (static_cast<unsigned char>(targetName[head]) & 0xC0) == 0x80)
        --head;
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
    return "." + targetName.substr(0, head) + "~" + hex + ".";
}

// A temporary file of the same target that this user's process PID left
// and that no running process of that PID can still be writing.
void RemoveStaleTemporaries(const fs::path &folder, const std::string &prefix)
{
    DIR *directory = ::opendir(folder.c_str());
    if (!directory)
        return;
    while (const dirent *entry = ::readdir(directory)) {
        const std::string_view name = entry->d_name;
        if (name.size() <= prefix.size() + TemporarySuffix.size() || name.rfind(prefix, 0) != 0 ||
            name.substr(name.size() - TemporarySuffix.size()) != TemporarySuffix)
            continue;
        const std::string_view rest = name.substr(prefix.size());
        pid_t pid = 0;
        const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), pid);
        if (error != std::errc() || *end != '.' || pid <= 0 || pid == ::getpid())
            continue;
        struct stat status {};
        if (::fstatat(::dirfd(directory), entry->d_name, &status, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISREG(status.st_mode) || status.st_uid != ::geteuid())
            continue;
        if (::kill(pid, 0) != 0 && errno == ESRCH)
            ::unlinkat(::dirfd(directory), entry->d_name, 0);
    }
    ::closedir(directory);
}

std::string RandomHex()
{
    std::random_device device;
    char hex[9];
    std::snprintf(hex, sizeof hex, "%08x", device() & 0xFFFFFFFFu);
    return hex;
}

void SyncFolder(const fs::path &folder)
{
    const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0)
        FailWithErrno();
    const int result = ::fsync(descriptor);
    const int error = errno;
    ::close(descriptor);
    // Some file systems cannot flush a folder; the rename is all they offer.
    if (result != 0 && error != EINVAL)
        FailWithErrno(error);
}

// Reserves the room for the new content before the file is touched, so that
// a full disk or a size limit refuses the write instead of cutting it short.
void Reserve(int descriptor, off_t size)
{
    if (size > 0 && ::fallocate(descriptor, 0, 0, size) != 0 && errno != EOPNOTSUPP && errno != ENOSYS)
        FailWithErrno();
}

void CopyFromStart(int from, int to)
{
    std::array<char, 64 * 1024> block;
    off_t offset = 0;
    for (;;) {
        const ssize_t count = ::pread(from, block.data(), block.size(), offset);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            FailWithErrno();
        if (count == 0)
            return;
        for (ssize_t done = 0; done < count;) {
            const ssize_t written = ::pwrite(to, block.data() + done, std::size_t(count - done), offset + done);
            if (written < 0 && errno == EINTR)
                continue;
            if (written < 0)
                FailWithErrno();
            done += written;
        }
        offset += count;
    }
}

enum class TTargetKind { OwnDescriptor, Special, RegularFile };

} // namespace

struct TAtomicFile::TState {
    fs::path Path; // as given, for the messages
    TWriteOptions Options;
    TTargetKind Kind = TTargetKind::RegularFile;
    int Descriptor = -1;
    bool OwnsDescriptor = false;
    // A regular file: its temporary file, and what is kept of the old one.
    fs::path Target;
    fs::path Temporary;
    int Slot = -1;
    std::optional<struct stat> Existing;
    bool InPlace = false; // the old file keeps its identity
    off_t Size = 0;

    void Open();
    void PrepareTemporary();
    void Commit();
    void Discard() noexcept;
};

void TAtomicFile::TState::Open()
{
    const TWriteTarget target = ResolveTarget(Path);
    if (target.OwnDescriptor) {
        if (Options.Special == TSpecialFiles::Refused)
            Refuse(NotRegularFile);
        Kind = TTargetKind::OwnDescriptor;
        Descriptor = *target.OwnDescriptor;
        return;
    }
    Target = target.File;
    struct stat status {};
    if (::stat(Target.c_str(), &status) != 0) {
        if (errno != ENOENT)
            FailWithErrno();
    } else if (S_ISREG(status.st_mode)) {
        // The rename needs no right to the file itself; writing does.
        if (::faccessat(AT_FDCWD, Target.c_str(), W_OK, AT_EACCESS) != 0)
            FailWithErrno();
        Existing = status;
    } else if (S_ISDIR(status.st_mode)) {
        FailWithErrno(EISDIR);
    } else if (S_ISCHR(status.st_mode) || S_ISFIFO(status.st_mode)) {
        if (Options.Special == TSpecialFiles::Refused)
            Refuse(NotRegularFile);
        Kind = TTargetKind::Special;
        Descriptor = ::open(Target.c_str(), O_WRONLY | O_CLOEXEC);
        if (Descriptor < 0)
            FailWithErrno();
        OwnsDescriptor = true;
        return;
    } else {
        Refuse(S_ISSOCK(status.st_mode) ? "Is a socket, not a file" : "Is a block device, not a file");
    }
    PrepareTemporary();
}

void TAtomicFile::TState::PrepareTemporary()
{
    // Absolute, so that the signal handler finds it whatever the working folder.
    const fs::path folder = fs::absolute(FolderOf(Target));
    const std::string prefix = TemporaryPrefix(Target.filename().string());
    RemoveStaleTemporaries(folder, prefix);
    const std::string pid = std::to_string(::getpid());
    for (int attempt = 0;; ++attempt) {
        const fs::path candidate = folder / (prefix + pid + "." + RandomHex() + std::string(TemporarySuffix));
        Descriptor = TTemporaryFiles::Create(candidate, Slot);
        if (Descriptor >= 0) {
            Temporary = candidate;
            break;
        }
        if (errno != EEXIST || attempt == 100)
            FailWithErrno();
    }
    OwnsDescriptor = true;
    if (!Existing)
        return;
    // Replacing a file with other links would part them from the new
    // content, and one of another owner would become the writer's.
    InPlace = Existing->st_nlink > 1 || Existing->st_uid != ::geteuid();
    if (InPlace)
        return;
    struct stat created {};
    if (::fstat(Descriptor, &created) == 0 && created.st_gid != Existing->st_gid &&
        ::fchown(Descriptor, uid_t(-1), Existing->st_gid) != 0)
        InPlace = true; // the writer cannot give the new file the old group
    else
        ::fchmod(Descriptor, Existing->st_mode & 07777);
}

void TAtomicFile::TState::Commit()
{
    if (Kind == TTargetKind::OwnDescriptor)
        return;
    if (Kind == TTargetKind::Special) {
        Close(Descriptor);
        return;
    }
    if (InPlace) {
        // The new content is complete in the temporary file; only now is the
        // old file overwritten, from its start, and cut to the new length.
        int file = ::open(Target.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (file < 0)
            FailWithErrno();
        try {
            struct stat status {};
            if (::fstat(file, &status) != 0)
                FailWithErrno();
            if (!S_ISREG(status.st_mode))
                Refuse(NotRegularFile);
            Reserve(file, Size);
            CopyFromStart(Descriptor, file);
            if (::ftruncate(file, Size) != 0 || (Options.Durable && ::fsync(file) != 0))
                FailWithErrno();
            Close(file);
        } catch (...) {
            if (file >= 0)
                ::close(file);
            throw;
        }
        Discard();
        return;
    }
    if (Options.Durable && ::fsync(Descriptor) != 0)
        FailWithErrno();
    Close(Descriptor);
    if (::rename(Temporary.c_str(), Target.c_str()) != 0)
        FailWithErrno();
    TTemporaryFiles::Forget(Slot);
    Temporary.clear();
    if (Options.Durable)
        SyncFolder(FolderOf(Target));
}

void TAtomicFile::TState::Discard() noexcept
{
    if (OwnsDescriptor && Descriptor >= 0)
        ::close(Descriptor);
    Descriptor = -1;
    if (!Temporary.empty()) {
        ::unlink(Temporary.c_str());
        TTemporaryFiles::Forget(Slot);
        Temporary.clear();
    }
}

namespace {

// Runs one step of the writer; its failure is told with the path.
template <typename Step>
void Reporting(const fs::path &path, Step step)
{
    auto fail = [&path](const std::string &separator, const std::string &reason) {
        return CorvantaError("Cannot create file \"" + path.string() + "\"" + separator + reason);
    };
    try {
        step();
    } catch (const std::system_error &error) {
        throw fail(". ", std::strerror(error.code().value()));
    } catch (const TRefusal &refusal) {
        throw fail(refusal.Separator, refusal.Reason);
    }
}

} // namespace

TAtomicFile::TAtomicFile(const fs::path &path, TWriteOptions options) : State(std::make_unique<TState>())
{
    State->Path = path;
    State->Options = options;
    Reporting(path, [this] {
        try {
            State->Open();
        } catch (...) {
            State->Discard();
            throw;
        }
    });
}

TAtomicFile::~TAtomicFile()
{
    State->Discard();
}

void TAtomicFile::Write(std::string_view bytes)
{
    Reporting(State->Path, [&] {
        WriteAll(State->Descriptor, bytes);
        State->Size += off_t(bytes.size());
    });
}

void TAtomicFile::Commit()
{
    Reporting(State->Path, [this] { State->Commit(); });
}

void WriteFileAtomically(const fs::path &path, std::string_view bytes, TWriteOptions options)
{
    TAtomicFile file(path, options);
    file.Write(bytes);
    file.Commit();
}

void WriteFileAtomically(const fs::path &path, const TContentWriter &content, TWriteOptions options)
{
    TAtomicFile file(path, options);
    content([&file](std::string_view bytes) { file.Write(bytes); });
    file.Commit();
}

} // namespace cva
