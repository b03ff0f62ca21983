#include "document/AtomicFile.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>
#include <system_error>

#include "numerics/Error.h"

namespace fs = std::filesystem;

namespace cva {

namespace {

std::string RandomSuffix()
{
    std::random_device device;
    std::ostringstream out;
    out << ".~" << std::hex << device();
    return out.str();
}

} // namespace

void WriteFileAtomically(const fs::path &path, std::string_view text)
{
    auto fail = [&path](const std::string &reason) {
        return CorvantaError("Cannot create file \"" + path.string() + "\". " + reason);
    };
    std::error_code error;
    // Through a link, the file it names is the one replaced.
    const fs::path target = fs::is_symlink(path, error) ? fs::weakly_canonical(path, error) : path;
    // A short name of its own in the target's folder: appending to the
    // target's name would fail for names near the length limit.
    const fs::path temporary = target.parent_path() / (".cva" + RandomSuffix());

    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out)
        throw fail(std::strerror(errno));
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    if (!out) {
        const std::string reason = std::strerror(errno);
        fs::remove(temporary, error);
        throw fail(reason);
    }
    const fs::file_status existing = fs::status(target, error);
    if (fs::exists(existing))
        fs::permissions(temporary, existing.permissions(), error);
    fs::rename(temporary, target, error);
    if (error) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        throw fail(error.message());
    }
}

} // namespace cva
