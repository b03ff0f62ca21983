#include "cli/PlotPictures.h"

#include <dlfcn.h>

#include <filesystem>

#include "cli/PlotModule.h"
#include "numerics/Error.h"

namespace cva::cli {

namespace {

// Beside the program in the build tree; in the library folder once installed.
TWritePlotPictures LoadPlotModule()
{
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    std::string reasons;
    for (const std::filesystem::path &folder :
         {program.parent_path(), program.parent_path() / CORVANTA_PLOT_MODULE_INSTALLED}) {
        const std::filesystem::path file = folder / CORVANTA_PLOT_MODULE_FILE;
        if (!std::filesystem::exists(file, error))
            continue;
        void *module = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!module) {
            reasons = dlerror();
            continue;
        }
        if (void *entry = dlsym(module, CORVANTA_PLOT_MODULE_ENTRY))
            return reinterpret_cast<TWritePlotPictures>(entry);
        reasons = dlerror();
    }
    throw CorvantaError("Cannot draw the plot: the plot module " CORVANTA_PLOT_MODULE_FILE " " +
                        (reasons.empty() ? std::string("is not installed beside corvanta-cli") : reasons));
}

} // namespace

void WritePlotPictures(const std::optional<std::string> &pngPath, const std::optional<std::string> &svgPath,
                       const TTrace &live)
{
    const TWritePlotPictures write = LoadPlotModule();
    char error[1024] = "";
    if (write(pngPath ? pngPath->c_str() : nullptr, svgPath ? svgPath->c_str() : nullptr, live.data(),
              int(live.size()), error, sizeof error) != 0)
        throw CorvantaError(error);
}

} // namespace cva::cli
