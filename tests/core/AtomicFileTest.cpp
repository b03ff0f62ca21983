// The one file writer on what a path may name besides a plain file: pipes,
// devices, the process's own descriptors, links that lead nowhere, folders
// and sockets, and a death by signal in the middle of a write.

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include "TempDir.h"
#include "document/AtomicFile.h"
#include "numerics/Error.h"

namespace {

using namespace cva;
using namespace cva::test;
namespace fs = std::filesystem;

class AtomicFile : public ::testing::Test {
protected:
    std::vector<std::string> Entries() const { return Temp.Entries(); }

    static std::string ReadDescriptor(int descriptor)
    {
        std::string text(4096, '\0');
        const ssize_t count = ::read(descriptor, text.data(), text.size());
        text.resize(count > 0 ? std::size_t(count) : 0);
        return text;
    }

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

TEST_F(AtomicFile, AReadOnlyFileIsNotReplaced)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root may write any file";
    const fs::path path = Dir / "kept.cva";
    std::ofstream(path) << "kept";
    fs::permissions(path, fs::perms::owner_read);
    EXPECT_EQ(Refusal(path, "new"), "Cannot create file \"" + path.string() + "\". Permission denied");
    EXPECT_EQ(ReadAll(path), "kept");
}

// Killed by the file size limit in the middle of the write, the process
// takes its temporary file with it; the existing file stays as it was.
TEST_F(AtomicFile, DeathBySignalLeavesNoTemporaryFile)
{
    const fs::path path = Dir / "out.csv";
    std::ofstream(path) << "previous";
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_DFL);
        const rlimit limit{64, 64};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        try {
            WriteFileAtomically(path, std::string(10000, 'x'));
        } catch (...) {
        }
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGXFSZ);
    EXPECT_EQ(Entries(), std::vector<std::string>{"out.csv"});
    EXPECT_EQ(ReadAll(path), "previous");
}

} // namespace
