// The one file writer on what a path may name besides a plain file: pipes,
// devices, the process's own descriptors, links that lead nowhere, folders
// and sockets, and a death by signal in the middle of a write.

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <fcntl.h>
#include <grp.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include "TempDir.h"
#include "io/AtomicFile.h"
#include "numerics/Error.h"

namespace {

using namespace cva;
using namespace cva::test;
namespace fs = std::filesystem;

constexpr uid_t Nobody = 65534;

class AtomicFile : public ::testing::Test {
public:
    static std::string ReadDescriptor(int descriptor)
    {
        std::string text(4096, '\0');
        const ssize_t count = ::read(descriptor, text.data(), text.size());
        text.resize(count > 0 ? std::size_t(count) : 0);
        return text;
    }

protected:
    std::vector<std::string> Entries() const { return Temp.Entries(); }

    // The message of the refusal, or "(written)".
    static std::string Refusal(const fs::path &path, std::string_view bytes)
    {
        try {
            WriteFileAtomically(path, bytes);
        } catch (const CorvantaError &error) {
            return error.what();
        }
        return "(written)";
    }

    TempDir Temp;
    const fs::path &Dir = Temp.Path;
};

TEST_F(AtomicFile, PipesAndDevicesAreWrittenInPlace)
{
    const fs::path fifo = Dir / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    WriteFileAtomically(fifo, "through the pipe");
    EXPECT_EQ(ReadDescriptor(reader), "through the pipe");
    ::close(reader);
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_EQ(Entries(), std::vector<std::string>{"fifo"});

    // A device that refuses the bytes is reported, and stays a device.
    if (fs::is_character_file("/dev/full")) {
        EXPECT_EQ(Refusal("/dev/full", "x"), "Cannot create file \"/dev/full\". No space left on device");
        EXPECT_TRUE(fs::is_character_file("/dev/full"));
    }
}

TEST_F(AtomicFile, OwnDescriptorsReceiveTheBytesWhereTheyPoint)
{
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    WriteFileAtomically("/proc/self/fd/" + std::to_string(ends[1]), "first ");
    WriteFileAtomically("/dev/fd/" + std::to_string(ends[1]), "second");
    ::close(ends[1]);
    EXPECT_EQ(ReadDescriptor(ends[0]), "first second");
    ::close(ends[0]);

    // A file opened for appending, as ">>" opens standard output, is appended
    // to, not replaced: the shell's descriptor keeps seeing the same file.
    const fs::path log = Dir / "log.csv";
    std::ofstream(log) << "head\n";
    const int appending = ::open(log.c_str(), O_WRONLY | O_APPEND);
    ASSERT_GE(appending, 0);
    const fs::path link = Dir / "out";
    fs::create_symlink("/proc/" + std::to_string(::getpid()) + "/fd/" + std::to_string(appending), link);
    WriteFileAtomically(link, "tail\n");
    ::close(appending);
    EXPECT_EQ(ReadAll(log), "head\ntail\n");
    EXPECT_TRUE(fs::is_symlink(link));
}

TEST_F(AtomicFile, ADanglingLinkIsWrittenThroughToTheFileItNames)
{
    fs::create_directory(Dir / "real");
    const fs::path link = Dir / "amp.cva";
    fs::create_symlink("real/amp.cva", link);
    const fs::path chain = Dir / "chain.cva";
    fs::create_symlink(link, chain);
    WriteFileAtomically(chain, "circuit");
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_TRUE(fs::is_symlink(chain));
    EXPECT_EQ(ReadAll(Dir / "real" / "amp.cva"), "circuit");
    EXPECT_EQ(Entries(), (std::vector<std::string>{"amp.cva", "chain.cva", "real"}));

    fs::create_symlink("loop-b", Dir / "loop-a");
    fs::create_symlink("loop-a", Dir / "loop-b");
    EXPECT_EQ(Refusal(Dir / "loop-a", "x"),
              "Cannot create file \"" + (Dir / "loop-a").string() + "\". Too many levels of symbolic links");
}

TEST_F(AtomicFile, FoldersAndSocketsAreRefusedAndKept)
{
    const fs::path folder = Dir / "folder.csv";
    fs::create_directory(folder);
    fs::create_symlink(folder, Dir / "to-folder.csv");
    EXPECT_EQ(Refusal(Dir / "to-folder.csv", "x"),
              "Cannot create file \"" + (Dir / "to-folder.csv").string() + "\". Is a directory");
    EXPECT_TRUE(fs::is_directory(folder));

    const fs::path socketPath = Dir / "socket";
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(socketPath.native().size(), sizeof(address.sun_path));
    std::strcpy(address.sun_path, socketPath.c_str());
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr *>(&address), sizeof(address)), 0);
    EXPECT_EQ(Refusal(socketPath, "x"), "Cannot create file \"" + socketPath.string() + "\". Is a socket, not a file");
    EXPECT_TRUE(fs::is_socket(socketPath));
    ::close(sock);
    EXPECT_EQ(Entries(), (std::vector<std::string>{"folder.csv", "socket", "to-folder.csv"}));
}

// Runs 'step' in a child process as the unprivileged user "nobody" when the
// tests run as root (as in CI), where permissions would not count, and in a
// child as the user itself otherwise; returns what the step returns.
std::string AsUnprivilegedUser(const std::function<std::string()> &step)
{
    int ends[2];
    if (::pipe(ends) != 0)
        return "(no pipe)";
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(ends[0]);
        if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(Nobody) != 0 || ::setuid(Nobody) != 0))
            ::_exit(1);
        const std::string result = step();
        const ssize_t written = ::write(ends[1], result.data(), result.size());
        ::_exit(written == ssize_t(result.size()) ? 0 : 1);
    }
    ::close(ends[1]);
    const std::string result = AtomicFile::ReadDescriptor(ends[0]);
    ::close(ends[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return result;
}

TEST_F(AtomicFile, AReadOnlyFileIsNotReplaced)
{
    const fs::path path = Dir / "kept.cva";
    std::ofstream(path) << "kept";
    fs::permissions(path, fs::perms::owner_read);
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(path.c_str(), Nobody, Nobody), 0);
    }
    EXPECT_EQ(AsUnprivilegedUser([&] { return Refusal(path, "new"); }),
              "Cannot create file \"" + path.string() + "\". Permission denied");
    EXPECT_EQ(ReadAll(path), "kept");
}

// The kernel's rule for links in shared folders, which the writer must keep
// as it follows links itself: in a sticky world-writable folder only a link
// of the writer or of the folder's owner is followed.
TEST_F(AtomicFile, ALinkPlantedInASharedFolderByAnotherUserIsNotFollowed)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "links and folders of another user need root to make";
    const uid_t me = ::geteuid();
    struct TCase {
        mode_t FolderMode;
        uid_t FolderOwner, LinkOwner;
        bool Followed;
    };
    const TCase cases[] = {
        {01777, me, Nobody, false},    // /tmp, a link of somebody else
        {01777, Nobody, Nobody, true}, // the folder's owner's link
        {01777, Nobody, me, true},     // the writer's own link
        {0777, me, Nobody, true},      // not sticky
        {01775, me, Nobody, true},     // sticky, but not writable by all
    };
    const fs::path victim = Dir / "victim";
    for (const TCase &c : cases) {
        WriteAll(victim, "kept");
        const fs::path shared = Dir / "shared";
        fs::create_directory(shared);
        ASSERT_EQ(::chown(shared.c_str(), c.FolderOwner, 0), 0);
        ASSERT_EQ(::chmod(shared.c_str(), c.FolderMode), 0);
        const fs::path link = shared / "out.csv";
        fs::create_symlink(victim, link);
        ASSERT_EQ(::lchown(link.c_str(), c.LinkOwner, 0), 0);
        const std::string refused =
            "Cannot create file \"" + link.string() + "\": a link in a shared folder that belongs to another user";
        const std::string trace = "folder " + std::to_string(c.FolderMode) + " of " + std::to_string(c.FolderOwner) +
                                  ", link of " + std::to_string(c.LinkOwner);
        EXPECT_EQ(Refusal(link, "new"), c.Followed ? "(written)" : refused) << trace;
        EXPECT_EQ(ReadAll(victim), c.Followed ? "new" : "kept") << trace;
        EXPECT_TRUE(fs::is_symlink(link)) << trace;
        fs::remove_all(shared);
    }
}

// Where a rename would make another file of it, the file is overwritten in
// place: its other names see the new content, and owner, group and mode
// stay. Otherwise the new file takes the old one's mode and group.
TEST_F(AtomicFile, AFileKeepsItsIdentityOwnerGroupAndMode)
{
    const bool root = ::geteuid() == 0;
    struct TCase {
        const char *What;
        bool SecondName;
        uid_t Owner;
        gid_t Group;
        bool InPlace;
    };
    const std::vector<TCase> cases = root ? std::vector<TCase>{{"hard link", true, 0, 0, true},
                                                               {"another owner", false, Nobody, Nobody, true},
                                                               {"another group", false, 0, Nobody, false}}
                                          : std::vector<TCase>{{"hard link", true, ::geteuid(), ::getegid(), true}};
    for (const TCase &c : cases) {
        const fs::path path = Dir / "amp.cva";
        WriteAll(path, "the old content, longer than the new");
        ASSERT_EQ(::chown(path.c_str(), c.Owner, c.Group), 0);
        ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
        if (c.SecondName) {
            fs::create_hard_link(path, Dir / "second-name.cva");
        }
        struct stat before {};
        ASSERT_EQ(::stat(path.c_str(), &before), 0);

        WriteFileAtomically(path, "new", {.Durable = true});
        struct stat after {};
        ASSERT_EQ(::stat(path.c_str(), &after), 0);
        EXPECT_EQ(ReadAll(path), "new") << c.What;
        EXPECT_EQ(after.st_ino == before.st_ino, c.InPlace) << c.What;
        EXPECT_EQ(after.st_uid, c.Owner) << c.What;
        EXPECT_EQ(after.st_gid, c.Group) << c.What;
        EXPECT_EQ(after.st_mode & 07777, 0640u) << c.What;
        if (c.SecondName) {
            EXPECT_EQ(ReadAll(Dir / "second-name.cva"), "new") << c.What;
        }
        fs::remove(Dir / "second-name.cva");
        EXPECT_EQ(Entries(), std::vector<std::string>{"amp.cva"}) << c.What;
    }
}

// The desktop program refuses what is no plain file before opening it, so
// that a pipe without a reader cannot hold its window.
TEST_F(AtomicFile, SpecialFilesAreRefusedWhenAskedWithoutWaiting)
{
    const fs::path fifo = Dir / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    ::alarm(20); // a wait for a reader ends the test instead of hanging it
    for (const fs::path &path : {fifo, fs::path("/dev/null"), fs::path("/dev/stdout")}) {
        try {
            WriteFileAtomically(path, "x", {.Special = TSpecialFiles::Refused});
            ADD_FAILURE() << path << " was written";
        } catch (const CorvantaError &error) {
            EXPECT_EQ(error.what(), "Cannot create file \"" + path.string() + "\". not a regular file");
        }
    }
    ::alarm(0);
    EXPECT_TRUE(fs::is_fifo(fifo));
}

// Ended by a signal in the middle of the write, the process takes its
// temporary file with it; the existing file stays as it was. SIGKILL cannot
// be caught: what it leaves is recognised and removed at the next write of
// the same target, but not a temporary file of another target, of a process
// still running or of another user.
TEST_F(AtomicFile, DeathBySignalLeavesNoTemporaryFile)
{
    const fs::path path = Dir / "out.csv";
    auto dieWriting = [&](int signal) {
        const pid_t child = ::fork();
        if (child == 0) {
            std::signal(SIGXFSZ, SIG_DFL);
            const rlimit limit{64, 64};
            ::setrlimit(RLIMIT_FSIZE, &limit);
            try {
                TAtomicFile file(path);
                file.Write("partial");
                if (signal != SIGXFSZ)
                    ::raise(signal);
                file.Write(std::string(10000, 'x'));
            } catch (...) {
            }
            ::_exit(0);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        return WIFSIGNALED(status) ? WTERMSIG(status) : -1;
    };
    WriteAll(path, "previous");
    for (int signal : {SIGXFSZ, SIGTERM, SIGUSR1, SIGUSR2, SIGALRM, SIGVTALRM, SIGRTMIN}) {
        EXPECT_EQ(dieWriting(signal), signal);
        EXPECT_EQ(Entries(), std::vector<std::string>{"out.csv"}) << strsignal(signal);
        EXPECT_EQ(ReadAll(path), "previous");
    }

    ASSERT_EQ(dieWriting(SIGKILL), SIGKILL);
    const std::vector<std::string> left = Entries();
    ASSERT_EQ(left.size(), 2u);
    const std::string stale = left[0];
    EXPECT_EQ(stale.rfind(".out.csv~", 0), 0u) << stale;
    EXPECT_EQ(stale.substr(stale.size() - 13), ".corvanta-tmp") << stale;
    // Of a running process (the test's parent), another target, another user.
    const std::string prefix = stale.substr(0, stale.find('.', 9) + 1);
    const std::string running = prefix + std::to_string(::getppid()) + ".00000000.corvanta-tmp";
    const std::string otherTarget = ".other.csv~" + stale.substr(9);
    WriteAll(Dir / running, "");
    WriteAll(Dir / otherTarget, "");
    std::vector<std::string> kept{running, otherTarget};
    if (::geteuid() == 0) {
        const std::string ofAnotherUser = stale.substr(0, stale.size() - 13) + "1.corvanta-tmp";
        fs::copy_file(Dir / stale, Dir / ofAnotherUser);
        ASSERT_EQ(::chown((Dir / ofAnotherUser).c_str(), Nobody, Nobody), 0);
        kept.push_back(ofAnotherUser);
    }
    WriteFileAtomically(path, "next");
    EXPECT_EQ(ReadAll(path), "next");
    kept.push_back("out.csv");
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(Entries(), kept);
}

} // namespace
