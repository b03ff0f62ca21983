#include "cli/CliModule.h"

#include <dlfcn.h>

#include <filesystem>

#include "numerics/Error.h"

namespace cva::cli {

void *LoadCliModuleEntry(const char *file, const char *entry, const std::string &purpose)
{
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    std::string reasons;
    for (const std::filesystem::path &folder :
         {program.parent_path(), program.parent_path() / CORVANTA_CLI_MODULES_INSTALLED}) {
        const std::filesystem::path path = folder / file;
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
