#include "cli/PlotPictures.h"

#include "cli/CliModule.h"
#include "cli/PlotModule.h"
#include "numerics/Error.h"

namespace cva::cli {

TPlotPictures DrawPlotPictures(bool png, bool svg, int width, int height, const TTrace &live)
{
    const auto draw = reinterpret_cast<TDrawPlotPictures>(
        LoadCliModuleEntry(CORVANTA_PLOT_MODULE_FILE, CORVANTA_PLOT_MODULE_ENTRY, "draw the plot"));
    TPlotPictures pictures;
    const TCorvantaPictureSink keep = [](void *context, int picture, const char *bytes, std::size_t size) {
        auto &into = *static_cast<TPlotPictures *>(context);
        (picture == CorvantaPng ? into.Png : into.Svg).assign(bytes, size);
    };
    char error[1024] = "";
    if (draw(live.data(), int(live.size()), png ? 1 : 0, svg ? 1 : 0, width, height, keep, &pictures, error,
             sizeof error) != 0)
        throw CorvantaError(error);
    return pictures;
}

} // namespace cva::cli
