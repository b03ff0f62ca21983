#include "cli/CliModule.h"

#include <dlfcn.h>

#include "numerics/Error.h"

namespace cva::cli {

std::optional<std::filesystem::path> ProgramFolder()
{
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error || !program.is_absolute())
        return std::nullopt;
    return program.parent_path();
}

void *LoadCliModuleEntry(const char *file, const char *entry, const std::string &purpose)
{
    const std::optional<std::filesystem::path> folder = ProgramFolder();
    if (!folder)
        throw CorvantaError("Cannot " + purpose + ": the folder of corvanta-cli cannot be known (/proc/self/exe " +
                            "cannot be read), and the module " + file + " is loaded from there only");
    std::string reasons;
    for (const std::filesystem::path &candidate : {*folder, *folder / CORVANTA_CLI_MODULES_INSTALLED}) {
        const std::filesystem::path path = candidate / file;
        std::error_code error;
        if (!std::filesystem::exists(path, error))
            continue;
        void *module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!module) {
            reasons = dlerror();
            continue;
        }
        if (void *found = dlsym(module, entry))
            return found;
        reasons = dlerror();
    }
    throw CorvantaError("Cannot " + purpose + ": the module " + file + " " +
                        (reasons.empty() ? std::string("is not installed beside corvanta-cli") : reasons));
}

} // namespace cva::cli
