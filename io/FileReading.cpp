#include "io/FileReading.h"

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cva {

namespace {

// Closes the descriptor however the reading ends.
class TDescriptor {
public:
    explicit TDescriptor(int descriptor) : Descriptor(descriptor) {}
    ~TDescriptor()
    {
        if (Descriptor >= 0)
            ::close(Descriptor);
    }
    TDescriptor(const TDescriptor &) = delete;
    TDescriptor &operator=(const TDescriptor &) = delete;
    int Get() const { return Descriptor; }

private:
    int Descriptor;
};

} // namespace

CorvantaError CannotOpenFile(const std::filesystem::path &path, std::string_view reason)
{
    return CorvantaError("Cannot open file \"" + path.string() + "\". " + std::string(reason));
}

std::string ReadWholeFile(const std::filesystem::path &path, std::size_t maxBytes, std::string_view whatFits,
                          TSpecialFiles special)
{
    auto tooLarge = [&](const std::string &size) {
        return CannotOpenFile(path, "too large (" + size + " bytes; " + std::string(whatFits) + ")");
    };
    // Without O_NONBLOCK, opening a named pipe waits until someone writes.
    const TDescriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (file.Get() < 0)
        throw CannotOpenFile(path, std::strerror(errno));
    struct stat status {};
    if (::fstat(file.Get(), &status) != 0)
        throw CannotOpenFile(path, std::strerror(errno));
    if (S_ISDIR(status.st_mode))
        throw CannotOpenFile(path, std::strerror(EISDIR));
    if (!S_ISREG(status.st_mode) && special == TSpecialFiles::Refused)
        throw CannotOpenFile(path, NotRegularFile);
    if (S_ISREG(status.st_mode) && static_cast<std::uintmax_t>(status.st_size) > maxBytes)
        throw tooLarge(std::to_string(status.st_size));
    // From here on a pipe with a writer is waited for, as any reader would.
    ::fcntl(file.Get(), F_SETFL, ::fcntl(file.Get(), F_GETFL) & ~O_NONBLOCK);

    std::string bytes;
    if (S_ISREG(status.st_mode))
        bytes.reserve(static_cast<std::size_t>(status.st_size));
    std::array<char, 16 * 1024> chunk;
    while (bytes.size() <= maxBytes) {
        const ssize_t count = ::read(file.Get(), chunk.data(), chunk.size());
        if (count < 0) {
            if (errno == EINTR)
                continue;
            throw CannotOpenFile(path, std::strerror(errno));
        }
        if (count == 0)
            return bytes;
        bytes.append(chunk.data(), static_cast<std::size_t>(count));
    }
    throw tooLarge("more than " + std::to_string(maxBytes));
}

} // namespace cva
