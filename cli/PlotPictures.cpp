#include "cli/PlotPictures.h"

#include "cli/CliModule.h"
#include "cli/PlotModule.h"
#include "numerics/Error.h"

namespace cva::cli {

void WritePlotPictures(const std::optional<std::string> &pngPath, const std::optional<std::string> &svgPath,
                       const TTrace &live)
{
    const auto write = reinterpret_cast<TWritePlotPictures>(
        LoadCliModuleEntry(CORVANTA_PLOT_MODULE_FILE, CORVANTA_PLOT_MODULE_ENTRY, "draw the plot"));
    char error[1024] = "";
    if (write(pngPath ? pngPath->c_str() : nullptr, svgPath ? svgPath->c_str() : nullptr, live.data(),
              int(live.size()), error, sizeof error) != 0)
        throw CorvantaError(error);
}

} // namespace cva::cli
